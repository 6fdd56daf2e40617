#pragma once
// The data layer's failure: every database, dataset and field error raises it (or a subclass).
#include "platform/rtl/System.h"

class EDatabaseError : public Exception { public: using Exception::Exception; };

// Raises EDatabaseError with Message (the platform's DatabaseError).
[[noreturn]] void DatabaseError(const std::string& Message);
