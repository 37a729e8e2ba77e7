#pragma once
// Section SEARCH: the data browser's last search.
#include "core/config/Parameter.h"
#include "core/config/PrmString.h"

class CSearchPrm : public CParameter {
public:
    CSearchPrm();
    CSearchPrm(const CSearchPrm&) = default;
    CSearchPrm& operator=(const CSearchPrm&) = default;

    CPrmString m_SEARCH_START_DATE_TIME;  // empty: no lower time bound
    CPrmString m_SEARCH_END_DATE_TIME;    // empty: no upper time bound
    CPrmString m_SEARCH_COMMENT;          // empty: no comment filter
};
