#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

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

// A job as a vehicle's printed history lists it: the job and, where a user has the mechanic's
// ID, that user's name ("First Last"; empty where none has).
struct HistoryJob {
    Job job;
    QString mechanicName;
};

// A field exactly as the store holds it, its kind and its bytes, so a look-up can compare with
// the very value a listing read, whatever kind of value another program stored there.
struct StoredValue {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    QVariant value; // qint64, double, or the bytes of a text or a blob as a QByteArray
};

// What a repair-history list entry needs to find its job again: the job's date and vehicle
// number as texts to show, and as stored to look the job up by.
struct JobKey {
    QString date;
    QString vehicleNumber;
    StoredValue storedDate;
    StoredValue storedVehicleNumber;
};

} // namespace vantorel::data
