#pragma once
// Section MEASUREMENT: how a measurement run is made.
#include "core/config/Parameter.h"
#include "core/config/PrmInt.h"
#include "core/config/PrmString.h"
#include "core/config/PrmTimeToday.h"

class CMeasurementPrm : public CParameter {
public:
    CMeasurementPrm();
    CMeasurementPrm(const CMeasurementPrm&) = default;
    CMeasurementPrm& operator=(const CMeasurementPrm&) = default;

    CPrmInt m_MEASUREMENT_TYPE;                         // 0 manual, 1 interval, 2 data transfer
    CPrmTimeToday m_INTERVAL_MEASUREMENT_START_TIME;    // only the time of day counts
    CPrmTimeToday m_INTERVAL_MEASUREMENT_END_TIME;
    CPrmInt m_INTERVAL_MEASUREMENT_SPAN;                // seconds
    CPrmInt m_EXPOSED_TIME;                             // 0 automatic, 10 multi-exposure, else fixed
    CPrmInt m_PORT_TYPE;                                // 0 USB, other RS-232C
    CPrmInt m_RS232C_PORT;                              // COM port number
    CPrmInt m_MEASUREMENT_SOUND;                        // 0 plays the finish sound, 1 silent
    CPrmInt m_CALIBRATION_TYPE;                         // index into the calibration files found

    // Not registered, never loaded or saved: carries a request's memo to the measurement engine.
    CPrmString m_Memo;
};
