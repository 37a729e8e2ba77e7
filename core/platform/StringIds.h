#pragma once
// Named ids of the string table (resources/strings/{en,ja}.txt), for platform::LoadString.
//
// Id scheme:
//   below 1000      ids the program has always used for these texts; they stay as they are
//   61713, 61715    the dialog-data-exchange messages (not a number / number out of range)
//   1000-1049 shared captions             1050-1079 data records
//   1080-1099 transport diagnostics       1100-1199 measurement engine
//   1200-1299 measurement settings        1300-1399 export dialog and CSV labels
//   1400-1499 import dialog               1500-1599 graph commands
//   1600-1699 spectrum graph              1700-1799 calculation data graph
//   1800-1899 3-D graph                   1900-1999 thumbnails
//   2000-2099 graph settings dialogs      2100-2199 main dialog, measurement control
//   2200-2299 data browser                2300-2399 standard data panel
//   2400-2499 small dialogs                2500-2599 files created or replaced
//   2900-2999 light quality window and trend values
// A text used identically in several places has one id, kept in the block where it is introduced
// or in the shared block. Ids are stable: never renumber, only add.
//
// Formats take printf arguments; the Japanese text keeps the same placeholders in the same order.

namespace ids {

// Shared captions: captions and labels that appear identically in several dialogs and windows.
constexpr int kOk = 1000;  // "OK"
constexpr int kCancel = 1001;  // "Cancel"
constexpr int kClose = 1002;  // "Close"
constexpr int kRef = 1003;  // "Ref"
constexpr int kAuto = 1004;  // "Auto"
constexpr int kMin = 1005;  // "Min"
constexpr int kMax = 1006;  // "Max"
constexpr int kType = 1007;  // "Type"
constexpr int kColor = 1008;  // "Color"
constexpr int kGrid = 1009;  // "Grid"
constexpr int kMarker = 1010;  // "Marker"
constexpr int kDisplay = 1011;  // "Display"
constexpr int kXAxisNm = 1012;  // "x-axis(nm)"
constexpr int kYAxis = 1013;  // "y-axis"
constexpr int kRatioDataPercent = 1014;  // "Ratio data(%)"
constexpr int kIntegrationNm = 1015;  // "Integration(nm)"
constexpr int kUnitCaptionWm2Um = 1016;  // "W/m^2/um"
constexpr int kUnitCaptionUmolM2SUm = 1017;  // "umol/m^2/s/um"
constexpr int kStandardData = 1018;  // "Standard data"
constexpr int kTimeSeries = 1019;  // "Time series"
constexpr int kEqualInterval = 1020;  // "Equal interval"
constexpr int kIntegration = 1021;  // "Integration"
constexpr int kComment = 1022;  // "Comment"
constexpr int kIrradiance = 1023;  // "Irradiance"
constexpr int kPhoton = 1024;  // "Photon"
constexpr int kLux = 1025;  // "Lux"
constexpr int kLongitude = 1026;  // "Longitude"
constexpr int kLatitude = 1027;  // "Latitude"
constexpr int kAltitude = 1028;  // "Altitude"
constexpr int kUnit = 1029;  // "Unit"
constexpr int kYes = 1030;  // "Yes"
constexpr int kNo = 1031;  // "No"

// Framework input validation: dialog data exchange messages for a field that is not a number and
// for a number outside its range (the two bounds are passed as %s, formatted like %g).
constexpr int kEnterNumber = 61713;  // "Please enter a number."
constexpr int kEnterNumberInRange = 61715;  // "Please enter a number between %s and %s."

// Instrument protocol: errors of a command exchange with the instrument; %s is the command as named
// in the protocol.
constexpr int kCommunicationError = 227;  // "The error occurred while communicating by command "%s"."
constexpr int kInvalidResponseFormat = 228;  // "Invalid the response format by command "%s"."

// Standard data set: comment of the built-in standard record.
constexpr int kJisStandardData = 1050;  // "JIS Standard Data"

// Day files that are damaged, and in-place rewrites that left a record as it was: the record's
// time, its file and byte offset, then one of the reasons.
constexpr int kDayFileTornInside = 1051;  // "%s is damaged: a partial record of %lld bytes at byte %lld, with whole records after it. ..."
constexpr int kDayFileTornAtEnd = 1052;  // "%s is damaged: a partial record of %lld bytes at byte %lld ends the file, ..."
constexpr int kRecordLeftAsItWas = 1053;  // "The record of %s in %s (byte %lld) was left as it was: %s"
constexpr int kReasonDeletedSinceListed = 1054;  // "it was deleted since it was listed."
constexpr int kReasonCommentChanged = 1055;  // "its comment was changed since it was listed."
constexpr int kReasonRecordChanged = 1056;  // "it was changed since it was listed, or another record is stored there now."
constexpr int kReasonRecordGone = 1057;  // "the file no longer holds it."
constexpr int kReasonCannotOpen = 1058;  // "the file cannot be opened (%s)."
constexpr int kReasonCannotWrite = 1059;  // "it cannot be written (%s)."
constexpr int kRecordsChangedCount = 1060;  // "%d of %d records were changed."
constexpr int kRecordNotRead = 1061;  // "The record of %s in %s (byte %lld) cannot be read: %s"

// Instrument transport diagnostics: lines written to standard output while the USB device is
// searched; %s is the device path.
constexpr int kAttemptingToOpen = 1080;  // "Attempting to open %s\n"
constexpr int kFailedToOpen = 1081;  // "FAILED to open %s\n"

// Measurement engine: error texts the engine sets when a run cannot start or a record cannot be
// stored.
constexpr int kCannotOpenPort = 1100;  // "Cannot open the port. Confirm the connection."
constexpr int kInternalSystemFailure = 1101;  // "Internal system failure."
constexpr int kCannotSaveData = 1102;  // "Cannot save the data. Confirm the output folder."
constexpr int kTransferRecordSkipped = 1103;  // "Record %d of the instrument was not copied: %s"
constexpr int kReasonTimeOutsideCalendar = 1104;  // "its time (%lld seconds since 1970-01-01 UTC) lies outside ..."

// Measurement settings dialog: title, captions, exposure choices (EXPOSED_TIME 0 is kAuto, 1 to 9
// are kExposure10ms + EXPOSED_TIME - 1, 10 is kExposureOverlap) and messages of the measurement
// settings dialog; the run type texts are also the main dialog's mode text.
constexpr int kMeasurementConfig = 1200;  // "Measurement config"
constexpr int kManualMeasurement = 1201;  // "Manual measurement"
constexpr int kIntervalMeasurement = 1202;  // "Interval measurement"
constexpr int kDataTransfer = 1203;  // "Data transfer"
constexpr int kFrom = 1204;  // "From"
constexpr int kTo = 1205;  // "To"
constexpr int kEvery = 1206;  // "Every"
constexpr int kSec = 1207;  // "sec"
constexpr int kExposureTime = 1208;  // "Exposure time"
constexpr int kPort = 1209;  // "Port"
constexpr int kUsb = 1210;  // "USB"
constexpr int kRs232c = 1211;  // "RS232C"
constexpr int kSound = 1212;  // "Sound"
constexpr int kSoundOn = 1213;  // "ON"
constexpr int kSoundOff = 1214;  // "OFF"
constexpr int kCannotFindComPort = 1220;  // "Cannot find available COM port."
constexpr int kInvalidIntervalSpan = 1221;  // "Invalid interval measurement span setting."
constexpr int kIntervalEndNotAfterStart = 1223;  // "The \"To\" time must be later than the \"From\" time."
constexpr int kComPortNotSelected = 1222;  // "Not selected COM port."
constexpr int kExposure10ms = 1231;  // "10msec"
constexpr int kExposure20ms = 1232;  // "20msec"
constexpr int kExposure50ms = 1233;  // "50msec"
constexpr int kExposure100ms = 1234;  // "100msec"
constexpr int kExposure200ms = 1235;  // "200msec"
constexpr int kExposure500ms = 1236;  // "500msec"
constexpr int kExposure1000ms = 1237;  // "1000msec"
constexpr int kExposure2000ms = 1238;  // "2000msec"
constexpr int kExposure5000ms = 1239;  // "5000msec"
constexpr int kExposureOverlap = 1240;  // "Overlap"

// Export dialog: title, captions, file filter (pipe-separated pairs) and messages of the export
// dialog.
constexpr int kExport = 1300;  // "Export"
constexpr int kOutputSpectralAndCalculation = 1301;  // "Output spectral data and calculation data"
constexpr int kOutputCalculation = 1302;  // "Output calculation data"
constexpr int kOutputRatio = 1303;  // "Output ratio data"
constexpr int kOutputDifference = 1304;  // "Output difference data"
constexpr int kWavelengthOriginal = 1305;  // "Original"
constexpr int kWavelength1nmStep = 1306;  // "1nm step"
constexpr int kWavelength5nmStep = 1307;  // "5nm step"
constexpr int kWavelengthRangeNm = 1308;  // "Wavelength range[nm]"
constexpr int kOutputFilename = 1309;  // "Output filename"
constexpr int kExportFileFilter = 1310;  // "Export File (*.csv)|*.csv||"
constexpr int kInputValidFileName = 1311;  // "Input valid file name."
constexpr int kExportCompleted = 1312;  // "Completed exporting."
constexpr int kExportFailure = 1313;  // "Export failure."
constexpr int kOutputType = 1314;  // "Output type"
constexpr int kWavelengthInterval = 1315;  // "Wavelength interval"
constexpr int kCannotWriteFolder = 1316;  // "The folder %s cannot be written."
constexpr int kMinAboveMax = 1317;  // "The minimum wavelength is above the maximum."
constexpr int kExportNeedsStandard = 1318;  // "Ratio and difference data need standard data: register a record as standard data first."
constexpr int kExportNoRecords = 1319;  // "There are no records to export."
constexpr int kExportSettingsInvalid = 1320;  // "The export settings are not valid."
constexpr int kOutputLightQuality = 1321;  // "Output light quality data"

// CSV export labels: row labels and values of the CSV layout (the wavelength row label is
// kWavelengthNm, the units kUnitWm2Um/kUnitUmolM2SUm, the ratio label kRatioPercent, "Original"
// kWavelengthOriginal, lux kLabelLuxLx). A writer that needs the fixed English layout asks for
// Language::English.
constexpr int kCsvDate = 1330;  // "DATE"
constexpr int kCsvTime = 1331;  // "TIME"
constexpr int kCsvExposedTime = 1332;  // "Exposed Time[msec]"
constexpr int kCsvMemo = 1333;  // "MEMO"
constexpr int kCsvFov = 1334;  // "FOV"
constexpr int kCsvLongitude = 1335;  // "LON"
constexpr int kCsvLatitude = 1336;  // "LAT"
constexpr int kCsvAltitude = 1337;  // "ALT"
constexpr int kCsvTemperature = 1338;  // "TEMP"
constexpr int kCsvPar = 1339;  // "PAR[W/m^2]"
constexpr int kCsvPhoton = 1340;  // "Ptn[umol/m^2]"
constexpr int kCsvWavelengthInterval = 1341;  // "WL Interval"
constexpr int kCsv1nmStep = 1342;  // "1nm Step"
constexpr int kCsv5nmStep = 1343;  // "5nm Step"
constexpr int kCsvDifference = 1344;  // "Difference"
// Rows of the light-quality export (one per metric; kCsvRi and kCsvSolarRatio are formats).
constexpr int kCsvPpfd = 1345;  // "PPFD[umol/m^2/s]"
constexpr int kCsvEppfd = 1346;  // "ePPFD[umol/m^2/s]"
constexpr int kCsvPfdUva = 1347;  // "PFD UV-A[umol/m^2/s]"
constexpr int kCsvPfdBlue = 1348;  // "PFD blue[umol/m^2/s]"
constexpr int kCsvPfdGreen = 1349;  // "PFD green[umol/m^2/s]"
constexpr int kCsvPfdRed = 1350;  // "PFD red[umol/m^2/s]"
constexpr int kCsvPfdFarRed = 1351;  // "PFD far-red[umol/m^2/s]"
constexpr int kCsvRfr = 1352;  // "R:FR"
constexpr int kCsvTristimulusX = 1353;  // "X"
constexpr int kCsvTristimulusY = 1354;  // "Y[lx]"
constexpr int kCsvTristimulusZ = 1355;  // "Z"
constexpr int kCsvChromaticityX = 1356;  // "x"
constexpr int kCsvChromaticityY = 1357;  // "y"
constexpr int kCsvUPrime = 1358;  // "u'"
constexpr int kCsvVPrime = 1359;  // "v'"
constexpr int kCsvCct = 1360;  // "CCT[K]"
constexpr int kCsvDuv = 1361;  // "Duv"
constexpr int kCsvRa = 1362;  // "Ra"
constexpr int kCsvRi = 1363;  // "R%d"
constexpr int kCsvMelanopicEdi = 1364;  // "Melanopic EDI[lx]"
constexpr int kCsvMelanopicDer = 1365;  // "Melanopic DER"
constexpr int kCsvSolarRatio = 1366;  // "G173 ratio %d-%dnm"
constexpr int kCsvPartialBands = 1367;  // "Partial bands"

// Import dialog: title, captions, file filter and messages of the import dialog.
constexpr int kImport = 1400;  // "Import"
constexpr int kFilename = 1401;  // "Filename"
constexpr int kOverwriteSameTimeRecord = 1402;  // "Overwrite same time record"
constexpr int kImportFileFilter = 1403;  // "Data Files (*.srd;*.rad)|*.srd;*.rad||"
constexpr int kImportConfirm = 1404;  // "Import selected file?"
constexpr int kImportFailure = 1405;  // "Import failure. Check the file."
constexpr int kImportCompleted = 1406;  // "Completed importing."
constexpr int kImportDuringMeasurement = 1407;  // "Cannot import while a measurement is running. Stop the measurement first."
constexpr int kImportingFile = 1408;  // "Importing %s (%d/%d)"
constexpr int kImportDayNotMerged = 1409;  // "Records of that day were not imported."
constexpr int kImportHistoryNotUpdated = 1410;  // "The standard data history could not be updated (%s cannot be written): ..."

// Graph output: copy, save and print messages shared by every graph window.
constexpr int kCopyToClipboardFailure = 128;  // "Copy to clipboard failure."
constexpr int kCopiedToClipboard = 129;  // "Completed copying to clipboard."
constexpr int kGraphPlotFailure = 130;  // "Graph plot failure."
constexpr int kBitmapSavingFailure = 131;  // "Bitmap saving failure."

// Graph commands: menu and toolbar texts shared by the spectrum, calculation data and 3-D graph
// windows (the tooltip of a button is its menu text).
constexpr int kGraphConfiguration = 1500;  // "Graph configuration..."
constexpr int kCopyToClipboard = 1501;  // "Copy to clipboard"
constexpr int kSaveAsBmp = 1502;  // "Save as BMP..."
constexpr int kPrint = 1503;  // "Print..."
constexpr int kBitmapFileFilter = 1504;  // "Bitmap File (*.bmp)|*.bmp||"
constexpr int kZoomIn = 1505;  // "Zoom in"
constexpr int kZoomOut = 1506;  // "Zoom out"
constexpr int kShiftRight = 1507;  // "Shift right"
constexpr int kShiftLeft = 1508;  // "Shift left"
constexpr int kShiftUp = 1509;  // "Shift up"
constexpr int kShiftDown = 1510;  // "Shift down"
constexpr int kMenuWavelength = 1511;  // "Wavelength"
constexpr int kPictureFileFilter = 1530;  // "Bitmap File (*.bmp)|*.bmp|PNG Picture (*.png)|*.png|SVG Picture (*.svg)|*.svg||"
constexpr int kPdfFileFilter = 1531;  // "PDF File (*.pdf)|*.pdf||"
constexpr int kSavePictureTip = 1532;  // "Save the picture as BMP, PNG or SVG"

// Calculation data labels: kind labels of the calculation data graph (id kLabelParWm2 + SHOW_KIND)
// and its window title.
constexpr int kCalculationDataGraph = 116;  // "Calculation data graph"
constexpr int kLabelParWm2 = 142;  // "PAR[W/m^2]"
constexpr int kLabelPhotonUmolM2S = 143;  // "Photon[umol/m^2/s]"
constexpr int kLabelLuxLx = 144;  // "Lux[lx]"
constexpr int kLabelLongitudeDeg = 145;  // "Longitude[deg]"
constexpr int kLabelLatitudeDeg = 146;  // "Latitude[deg]"
constexpr int kLabelAltitudeM = 147;  // "Altitude[m]"
constexpr int kLabelUvAWm2 = 148;  // "UV-A[W/m^2]"
constexpr int kLabelUvBWm2 = 149;  // "UV-B[W/m^2]"
constexpr int kLabelIntegrationWm2 = 150;  // "Integration[W/m^2]"

// Spectrum graph labels: legend labels, axis titles, unit suffixes, titles and information lines of
// the spectrum graph (the data labels are shared with the 3-D graph and the dialogs).
constexpr int kStandardDataLegend = 154;  // "Standard Data"
constexpr int kDifferenceData = 155;  // "Difference data"
constexpr int kRatioData = 156;  // "Ratio data"
constexpr int kWavelengthNm = 158;  // "Wavelength[nm]"
constexpr int kIrradianceWm2Um = 159;  // "Irradiance[W/m^2/um]"
constexpr int kIrradianceUmolM2SUm = 160;  // "Irradiance[umol/m^2/s/um]"
constexpr int kRatioPercent = 161;  // "Ratio[%]"
constexpr int kMeasuredData = 162;  // "Measured data"
constexpr int kUnitWm2Um = 194;  // "[W/m^2/um]"
constexpr int kUnitUmolM2SUm = 195;  // "[umol/m^2/s/um]"
constexpr int kTitleMeasuredData = 200;  // "Measured data : %s %s"
constexpr int kTitleTrendData = 201;  // "Trend data : %s %s"
constexpr int kTitleStandardData = 202;  // "Standard data : %s %s"
constexpr int kTitlePluralData = 203;  // "(Plural data display) %s %s"
constexpr int kInfoPosition = 204;  // "Longitude[deg]: %g  Latitude[deg]: %g  Altitude[m]: %g"
constexpr int kInfoParPhotonLux = 205;  // "PAR[W/m^2]: %g  Photon[umol/m^2/s]: %g  Lux[lx]: %g"
constexpr int kInfoUv = 206;  // "UV-A[W/m^2]: %g  UV-B[W/m^2]: %g"
constexpr int kInfoIntegration = 207;  // "Integration[W/m^2]: %g (%d[nm] - %d[nm])"
constexpr int kInfoMeasurement = 222;  // "Measurement time %s, Exposure time[msec]: %d, Temperature[deg.C]: %g"

// Spectrum graph window: window titles, commands and read-out formats of the spectrum graph window,
// and the labels of the other irradiance units.
constexpr int kDataGraph = 1600;  // "Data graph"
constexpr int kTrendData = 1601;  // "Trend data"
constexpr int kPrevious = 1602;  // "Previous"
constexpr int kNext = 1603;  // "Next"
constexpr int kPlotMeasuredData = 1604;  // "Plot measured data"
constexpr int kPlotStandardData = 1605;  // "Plot standard data"
constexpr int kPlotDifferenceData = 1606;  // "Plot difference data"
constexpr int kShowRatioData = 1607;  // "Show ratio data"
constexpr int kShowParPhotonLux = 1608;  // "Show PAR/Photon/Lux"
constexpr int kShowUvAB = 1609;  // "Show UV-A/B"
constexpr int kShowIntegration = 1610;  // "Show integration"
constexpr int kPrintJobDataGraph = 1611;  // "Data Graph"
constexpr int kReadoutValue = 1612;  // "%s: %g"
constexpr int kReadoutRatio = 1613;  // "[%%]: %g"
constexpr int kIrradianceMwCm2Nm = 1614;  // "Irradiance[mW/cm^2/nm]"
constexpr int kIrradianceWm2Nm = 1615;  // "Irradiance[W/m^2/nm]"
constexpr int kIrradiancePhotonCm2SNm = 1616;  // "Irradiance[photon/cm^2/s/nm]"

// Calculation data graph window: read-out, information line, title format, tooltip and print job of
// the calculation data graph window.
constexpr int kSelectedPositionInfo = 163;  // "Selected position info"
constexpr int kTime = 164;  // "Time"
constexpr int kIntegrationRange = 230;  // "Integration %d - %d"
constexpr int kZoomInYAxisTip = 1700;  // "Zoom in - y-axis"
constexpr int kPrintJobNumericalGraph = 1701;  // "Numerical Graph"
constexpr int kCalculationTitleFormat = 1702;  // "%s : %s - %s"

// 3-D graph window: window and dialog titles, title suffix, print job and angle captions of the 3-D
// graph.
constexpr int k3DGraph = 1800;  // "3-D graph"
constexpr int k3DGraphConfig = 1801;  // "3-D graph config"
constexpr int kPrintJob3DGraph = 1802;  // "3-Dimension Graph"
constexpr int k3DTitleRange = 1803;  // " : %s - %s"
constexpr int kViewAngle = 1804;  // "View angle"
constexpr int kAngleTheta = 1805;  // "Theta"
constexpr int kAnglePhi = 1806;  // "Phi"
constexpr int k3DEveryKthRecord = 1807;  // " (1 in %s records drawn)"

// Heat map window: its title, the print job and the read-out's value caption.
constexpr int kHeatMap = 1810;  // "Heat map"
constexpr int kPrintJobHeatMap = 1811;  // "Heat Map"
constexpr int kHeatMapValue = 1812;  // "Value"

// Thumbnails: titles of the two thumbnail frames.
constexpr int kMeasuredDataThumbnail = 1900;  // "Measured data thumbnail"
constexpr int kStandardDataThumbnail = 1901;  // "Standard data thumbnail"

// Graph settings dialogs: titles, captions, unit labels and messages of the spectrum and
// calculation data graph settings dialogs (the 3-D dialog shares the range messages).
constexpr int kInvalidXRange = 123;  // "Invalid x-axis range setting."
constexpr int kInvalidYRange = 124;  // "Invalid y-axis range setting"
constexpr int kInvalidRatioRange = 125;  // "Invalid ratio data range setting."
constexpr int kInvalidIntegrationArea = 126;  // "Invalid integration area setting."
constexpr int kNoDataToPlot = 127;  // "Not selected a data to plot."
constexpr int kGraphConfig = 2000;  // "Graph config"
constexpr int kCalculationDataGraphConfig = 2001;  // "Calculation data graph config"
constexpr int kParPtnLux = 2002;  // "PAR/ Ptn/ Lux"
constexpr int kLatLonAlt = 2003;  // "Lat/ Lon/ Alt"
constexpr int kUvAUvB = 2004;  // "UV-A/UV-B"
constexpr int kDataSlot = 2005;  // "data%d"
constexpr int kDataType = 2006;  // "Data type"
constexpr int kPar = 2007;  // "PAR"
constexpr int kUvA = 2008;  // "UV-A"
constexpr int kUvB = 2009;  // "UV-B"
constexpr int kDetail = 2010;  // "Detail"
constexpr int kTimeAxisType = 2011;  // "Time axis type"
constexpr int kUnitWm2 = 2012;  // "W/m^2"
constexpr int kUnitUmolM2S = 2013;  // "umol/m^2/s"
constexpr int kUnitLx = 2014;  // "lx"
constexpr int kUnitDeg = 2015;  // "deg"
constexpr int kUnitM = 2016;  // "m"

// Main dialog and measurement control: title, system menu item, captions, mode and status texts,
// and messages of the measurement control group and of leaving the program. Suffix formats are
// appended to a status text.
constexpr int kAppTitle = 2100;  // "ZQ118"
constexpr int kVersionMenu = 2101;  // "Version(&A)..."
constexpr int kMeasurementControl = 2102;  // "Measurement control"
constexpr int kStart = 2103;  // "Start"
constexpr int kStop = 2104;  // "Stop"
constexpr int kTrendGraph = 2105;  // "Trend graph"
constexpr int kDataFolder = 2106;  // "Data folder"
constexpr int kExit = 2107;  // "Exit"
constexpr int kStandby = 2108;  // "Standby"
constexpr int kMeasuring = 2109;  // "Measuring"
constexpr int kDarkMeasuring = 2110;  // "Dark measuring"
constexpr int kDataTransferring = 2111;  // "Data transferring"
constexpr int kIntervalModeFormat = 2112;  // "Interval measurement %s - %s, %d sec interval"
constexpr int kExposureSuffix = 2113;  // " - [%dmsec]"
constexpr int kTransferProgressSuffix = 2114;  // " - %u/%u"
constexpr int kWaitingStartAt = 2115;  // "Waiting - Start at %s"
constexpr int kMeasurementStartFailure = 2120;  // "Measurement start failure."
constexpr int kMeasurementError = 2121;  // "Measurement error."
constexpr int kDataReadingFailure = 2122;  // "Data reading failure."
constexpr int kCannotOperateDuringMeasurement = 2123;  // "Cannot carry out this operation during measurement."
constexpr int kNoMeasuredData = 2124;  // "No measured data."
constexpr int kExitAfterClosingDialogs = 2125;  // "Exit after closing all dialogs."
constexpr int kConfirmStopMeasurement = 2126;  // "Do you stop to measure?"
constexpr int kCannotStartSimulator = 2127;  // "Cannot start the simulated instrument."
constexpr int kHelpMenu = 2130;  // "Help(&H)"
constexpr int kNotASearchTime = 2131;  // "Not searched: give a date and time as YYYY/MM/DD HH:MM:SS (years 2000 to 2035)."
constexpr int kEndBeforeStart = 2132;  // "The end time is before the start time."
constexpr int kCannotReadSettings = 2133;  // "Cannot read the settings file %s: %s."
constexpr int kNoStartOnDefaults = 2134;  // "The program does not start on default settings: ..."
constexpr int kFileNameIdUnusable = 2135;  // "The file name ID \"%s\" in %s cannot be used: ..."
constexpr int kSetAnotherFileNameId = 2136;  // "Set another file name ID with \"Data folder\"."

// Data browser: group boxes, labels, buttons, context menu, column headers and messages of the data
// browser (the other column headers are kComment, kPhoton, kLux, kLongitude, kLatitude, kAltitude).
constexpr int kTooManyRecordsToDisplay = 157;  // "The record that can be displayed at the same time is up to 10"
constexpr int kSelectMoreThanOneRecord = 216;  // "Select more than one record."
constexpr int kDataBrowser = 2200;  // "Data browser"
constexpr int kDataRetrieval = 2201;  // "Data retrieval"
constexpr int kDataInputOutput = 2202;  // "Data input/output"
constexpr int kPlot = 2203;  // "Plot"
constexpr int kStartTime = 2204;  // "Start time"
constexpr int kEndTime = 2205;  // "End time"
constexpr int kRetrieval = 2206;  // "Retrieval"
constexpr int kClear = 2207;  // "Clear"
constexpr int kDeleteDataButton = 2208;  // "Delete data..."
constexpr int kRemoveDataButton = 2209;  // "Remove data"
constexpr int kEditCommentEllipsis = 2210;  // "Edit comment..."
constexpr int kRegisterAsStandard = 2211;  // "Register as standard data"
constexpr int kImportEllipsis = 2212;  // "Import..."
constexpr int kExportEllipsis = 2213;  // "Export..."
constexpr int kCalculationData = 2214;  // "Calculation data"
constexpr int k3D = 2215;  // "3-D"
constexpr int kMenuData = 2216;  // "Data"
constexpr int kMeasuredDataPlot = 2217;  // "Measured data plot"
constexpr int kCalculationDataPlot = 2218;  // "Calculation data plot"
constexpr int k3DPlot = 2219;  // "3-D plot"
constexpr int kDeleteDataMenu = 2220;  // "Delete data..."
constexpr int kRemoveDataMenu = 2221;  // "Remove data"
constexpr int kColumnMeasurementTime = 2222;  // "Measurement time"
constexpr int kColumnPar = 2223;  // "PAR[W/m^2]"
constexpr int kSelectAData = 2230;  // "Select a data."
constexpr int kConfirmDelete = 2231;  // "Delete selected record?\r\nCannot restore it when executing!"
constexpr int kSelectOneData = 2232;  // "Select one data."
constexpr int kUpdateDataFailure = 2233;  // "Update data failure."
constexpr int kAndMore = 2234;  // "... and %d more."

// Standard data panel: buttons, graph title and message of the standard data group (its group box
// and popup are kStandardData, its menu item kPlot).
constexpr int kDeleteFromHistory = 2300;  // "Delete from history"
constexpr int kUpdateAsStandard = 2301;  // "Update as standard data"
constexpr int kStandardDataGraph = 2302;  // "Standard data graph"
constexpr int kNotSelectedStandardData = 2303;  // "Not selected standard data"
constexpr int kStandardHistoryChanged = 2304;  // "Another program changed the standard data history..."

// Small dialogs: data folder settings, version and comment editing dialogs.
constexpr int kDataFolderConfig = 2400;  // "Data folder config"
constexpr int kSavedDataFolder = 2401;  // "Saved data folder"
constexpr int kFilenameId = 2402;  // "Filename ID"
constexpr int kVersion = 2403;  // "Version"
constexpr int kVersionText = 2404;  // "ZQ118 Version 1.0.1.0"
constexpr int kEditComment = 2405;  // "Edit comment"
constexpr int kNewComment = 2406;  // "New comment"
constexpr int kFileNameIdHoldsSeparator = 2407;  // "A file name ID must not contain / or \\ or \"..\"."

// Files the program creates or replaces: what failed and where, the system's reason last.
constexpr int kCannotCreateFileIn = 2500;  // "Cannot create a file in %s: %s"
constexpr int kCannotWriteFile = 2501;  // "Cannot write %s: %s"
constexpr int kCannotReplaceFile = 2502;  // "Cannot replace %s: %s"
constexpr int kFileIsLink = 2503;  // "%s is a symbolic link; it was left as it is."
constexpr int kFileNotRegular = 2504;  // "%s is not a regular file; it was left as it is."

// The main window's notes: an empty search, the end of a data transfer.
constexpr int kNoRecords = 2600;  // "No records"
constexpr int kRecordsCopied = 2601;  // "%d records copied from the instrument."
constexpr int kUserGuide = 2602;  // "User guide"
constexpr int kUserGuideMenu = 2603;  // "User guide(&G)"
constexpr int kBytesLeft = 2604;  // "%d of %d bytes left"
constexpr int kMonitor = 2605;  // "Monitor"
constexpr int kMonitoring = 2606;  // "Monitoring - nothing is stored"
// Light quality window: title, value groups and what a value that cannot be had shows.
constexpr int kLightQuality = 2900;  // "Light quality"
constexpr int kPlantGroup = 2901;  // "Plant"
constexpr int kColourGroup = 2902;  // "Colour"
constexpr int kSolarGroup = 2903;  // "Solar (ratio to ASTM G173 global tilt)"
constexpr int kNotAvailable = 2904;  // "n/a"
constexpr int kPartialBand = 2905;  // "partial"
constexpr int kSpectralIrradianceWm2Nm = 2906;  // "Spectral irradiance[W/m^2/nm]"
constexpr int kNoRecordShown = 2907;  // "No record"
constexpr int kRangeOfIndices = 2908;  // "R%d-R%d"
// The trend graph's daily light integral: its axis label and what an outlined bar means.
constexpr int kLabelDli = 2909;  // "DLI[mol/m^2/d]"
constexpr int kDliOutlinedNote = 2910;  // "Outlined bars: days with gaps"
constexpr int kDliIncompleteDay = 2911;  // "Incomplete: %g h covered"
constexpr int kUnitKelvin = 2912;  // "K"
constexpr int kUnitMolM2D = 2913;  // "mol/m^2/d"

}  // namespace ids
