#include "core/config/SearchPrm.h"

CSearchPrm::CSearchPrm() : CParameter("./ZQ118.ini", "SEARCH") {
    Add("SEARCH_START_DATE_TIME", m_SEARCH_START_DATE_TIME, "");
    Add("SEARCH_END_DATE_TIME", m_SEARCH_END_DATE_TIME, "");
    Add("SEARCH_COMMENT", m_SEARCH_COMMENT, "");
}
