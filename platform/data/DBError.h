#pragma once
// The data layer's failure: every database, dataset and field error raises it (or a subclass).
#include "platform/rtl/System.h"

class EDatabaseError : public Exception { public: using Exception::Exception; };

// Raises EDatabaseError with Message (the platform's DatabaseError).
[[noreturn]] void DatabaseError(const std::string& Message);

class TComponent;
// Raises EDatabaseError with Message led by "Name: " of Component when it has a name (the
// component the failure belongs to); as DatabaseError(Message) otherwise.
[[noreturn]] void DatabaseError(const std::string& Message, const TComponent* Component);
