#pragma once

#include <QString>

#include <optional>

namespace vantorel::data {

// One user of the system, a row of Person. Password holds what is stored: a password hash for
// users added by the program, clear text for records put into the file by other means, or no
// value at all.
struct Person {
    QString idNumber;
    QString lastName;
    QString firstName;
    QString address;
    QString telephone;
    std::optional<QString> password;
    bool manager = false;
};

// One vehicle of the fleet, a row of Vehicle.
struct Vehicle {
    QString vehicleNumber;
    QString contractNumber;
    QString license;
    QString make;
    QString model;
    QString color;
    QString year;
    QString datePurchased;
};

// One completed maintenance job, a row of Servicing.
struct Job {
    QString vehicleNumber;
    QString mechanicId;
    QString location;
    QString date;
    QString startTime;
    QString stopTime;
    QString comments; // a stored Null reads as empty text
};

// What a repair-history list entry needs to find its job again.
struct JobKey {
    QString date;
    QString vehicleNumber;
};

} // namespace vantorel::data
