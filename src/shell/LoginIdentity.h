#pragma once

#include <QString>

namespace vantorel {

// Who logged in: the employee ID exactly as typed, and whether the matched Person record is a
// manager. The role comes from the record, never from the shape of the ID.
struct LoginIdentity {
    QString employeeId;
    bool manager = false;
};

} // namespace vantorel
