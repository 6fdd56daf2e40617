#pragma once
// The filter expression language of datasets:
//   comparisons  =  <>  !=  <  >  <=  >=   with field names (also [in brackets]),
//   'quoted strings' (a doubled quote is one quote), numbers, true, false, null;
//   and, or, not, parentheses, + - * /, "is null", "is not null";
//   "like" with % and _ ; with '=' and '<>' a '*' in a string literal matches any text
//   (unless foNoPartialCompare).
#include <memory>
#include <string>

#include "platform/data/DataSet.h"

namespace data {

class FilterNode;

class FilterExpression {
 public:
  // Parses Text against DataSet's fields; raises EDatabaseError for a syntax error or an
  // unknown field.
  FilterExpression(const std::string& Text, TDataSet* DataSet, TFilterOptions Options);
  ~FilterExpression();
  // True when the dataset's current row (as its fields read it) passes.
  bool Evaluate() const;

 private:
  std::unique_ptr<FilterNode> FRoot;
};

}  // namespace data
