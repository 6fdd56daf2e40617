#pragma once
// The text forms in which the database file keeps dates and times, so that text
// comparison and ordering in SQL agree with time order:
//   time of day "hh:nn:ss", date "yyyy-mm-dd", date-time "yyyy-mm-dd hh:nn:ss".
#include <string>

#include "platform/rtl/System.h"

namespace data {

std::string FormatSqlTime(TDateTime Value);
std::string FormatSqlDate(TDateTime Value);
std::string FormatSqlDateTime(TDateTime Value);

// Reads any of the three forms (also "hh:nn", fractional seconds and a 'T' between date
// and time). A lone time gives a value whose date part is 0. False for anything else.
bool ParseSqlDateTime(const std::string& Text, TDateTime& Value);

}  // namespace data
