#pragma once

#include <QString>

namespace bench {

struct FleetSize {
    int users = 10'000;
    int vehicles = 100'000;
    int jobs = 1'000'000;
    int busyVehicles = 5; // vehicles with jobsPerBusyVehicle jobs each
    int jobsPerBusyVehicle = 10'000;
};

// What the timed actions look for in the generated file.
struct FleetFacts {
    QString managerId;
    QString mechanicId;
    QString password;       // every synthetic user has it
    QString busyVehicle;    // a vehicle with jobsPerBusyVehicle jobs
    int busyVehicleJobs = 0;
    QString plainVehicle;   // a vehicle with a handful of jobs
    QString fourCriteria[4]; // Make, Model, Year and Date Purchased of a few vehicles
};

// Makes a new Vantorel.mdb at `path` with the setup tool's schema and the given numbers of
// records, in one transaction.
FleetFacts makeSyntheticFleet(const QString& path, const FleetSize& size);

} // namespace bench
