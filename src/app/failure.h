#pragma once

#include <QString>

namespace vellumo {

// Every failure the program can meet, with the number shown to the user.
enum class FailureCode : int {
    Overflow = 6,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
    KeyNotUnique = 35602,
};

// Thrown inside a procedure and caught where the procedure reports it.
struct Failure {
    FailureCode code;

    int number() const { return static_cast<int>(code); }
    // The English description that goes with the number.
    QString description() const;
};

// The status-bar text of a failure: the prefix, the number, " - ", the description.
QString failureText(const QString &prefix, const Failure &failure);

} // namespace vellumo
