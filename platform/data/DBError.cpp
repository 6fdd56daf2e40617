#include "platform/data/DBError.h"

#include "platform/classes/Component.h"

void DatabaseError(const std::string& Message) { throw EDatabaseError(Message); }

void DatabaseError(const std::string& Message, const TComponent* Component) {
  if (Component != nullptr && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}
