#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace qm {

// Failure numbers. Where a classic run-time error number fits, it is used, so a
// mechanic who reads a number out over the phone gets the familiar one.
namespace FailureCode {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int CannotCreateObject = 429;
inline constexpr int ServerUnavailable = 462;
inline constexpr int ApplicationDefined = 1004;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int ItemNotFound = 3265;
inline constexpr int TableCorrupt = 3049;   // "cannot open database: not a database or corrupt"
inline constexpr int TableLocked = 3260;    // locked by another user
inline constexpr int FieldTooSmall = 3163;  // value too long for the field
inline constexpr int TemplatePathInvalid = 5152;
}  // namespace FailureCode

// A run-time failure: a number and a Russian description from the layer that
// raised it. Thrown by the layers, caught by the command that runs them.
class Failure : public std::exception {
public:
    // The description is what the mechanic reads: Russian only. A technical
    // detail (an office's own English text, a source position) goes to the
    // log beside it and is never shown.
    Failure(int number, QString description, QString technicalDetail = {});

    int number() const noexcept { return number_; }
    const QString &description() const noexcept { return description_; }
    const QString &technicalDetail() const noexcept { return technicalDetail_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    int number_;
    QString description_;
    QString technicalDetail_;
    QByteArray utf8_;
};

// Turns any exception in flight into a Failure (bad_alloc becomes "out of memory").
Failure toFailure(std::exception_ptr error);

// What the system said, in Russian, for a failure message: the C library's
// own text follows the system's language, which need not be Russian.
QString systemErrorText(int errorNumber);

}  // namespace qm
