#include "platform/data/DBError.h"

void DatabaseError(const std::string& Message) { throw EDatabaseError(Message); }
