#include "data/RowScan.h"

#include "data/StoredValues.h"

namespace vantorel::data {

bool RowScan::isYes(int field) const
{
    return isYesValue(stored(field).value);
}

} // namespace vantorel::data
