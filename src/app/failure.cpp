#include "app/failure.h"

namespace vellumo {

QString Failure::description() const
{
    switch (code) {
    case FailureCode::Overflow: return QStringLiteral("Overflow");
    case FailureCode::TypeMismatch: return QStringLiteral("Type mismatch");
    case FailureCode::BadFileName: return QStringLiteral("Bad file name or number");
    case FailureCode::FileNotFound: return QStringLiteral("File not found");
    case FailureCode::PermissionDenied: return QStringLiteral("Permission denied");
    case FailureCode::PathFileAccessError: return QStringLiteral("Path/File access error");
    case FailureCode::PathNotFound: return QStringLiteral("Path not found");
    case FailureCode::InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case FailureCode::InvalidPicture: return QStringLiteral("Invalid picture");
    case FailureCode::KeyNotUnique: return QStringLiteral("Key is not unique in collection");
    }
    return QStringLiteral("Unknown failure");
}

QString failureText(const QString &prefix, const Failure &failure)
{
    return prefix + QString::number(failure.number()) + QStringLiteral(" - ") + failure.description();
}

} // namespace vellumo
