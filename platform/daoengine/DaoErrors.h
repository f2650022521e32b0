#pragma once
// Errors of the DAO engine: an exception carrying the engine's error number, and the
// record the engine's Errors collection keeps of the last failure.

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace Dao {

// The error numbers the engine raises; callers test some of them (3167 above all).
enum ErrorNumber : int {
    errObjectExists = 3012,
    errDeleteOnBofEof = 3015,
    errNoCurrentIndex = 3019,
    errUpdateWithoutEdit = 3020,
    errNoCurrentRecord = 3021,
    errDuplicateKey = 3022,
    errFileNotFound = 3024,
    errReadOnly = 3027,
    errAccount = 3029,
    errPassword = 3031,
    errTooFewParameters = 3061,
    errUnknownName = 3070,
    errSyntaxInExpression = 3075,
    errSyntaxInCriteria = 3077,
    errTableNotFound = 3078,
    errInvalidBookmark = 3159,
    errFieldTooSmall = 3163,
    errRecordDeleted = 3167,
    errInstallableFormat = 3170,
    errChangedByOther = 3197,
    errInvalidOperation = 3219,
    errNotSupported = 3251,
    errItemNotFound = 3265,
    errPropertyNotFound = 3270,
    errRequiredNull = 3314,
    errZeroLength = 3315,
    errUnrecognizedFormat = 3343,
    errObjectClosed = 3420,
    errConversion = 3421,
    errTypeMismatchCriteria = 3464,
    errNotAnIndex = 3800,
    errFileInUse = 3045,
    errCannotOpen = 3051,
    errFieldNotUpdatable = 3164,
    errLocked = 3260,
    errGeneric = 3000,
};

// One entry of DBEngine.Errors.
struct ErrorRec {
    int Number = 0;
    std::string Source;
    std::string Description;
    std::string HelpFile;
    int HelpContext = 0;
};

// Raised by every failing engine call. The message is the description.
class EDaoError : public EDatabaseError {
public:
    EDaoError(int number, std::string description, std::string source = "DAO", std::string fieldName = "")
        : EDatabaseError(description), FNumber(number), FSource(std::move(source)), FFieldName(std::move(fieldName)) {}
    int Number() const noexcept { return FNumber; }
    const std::string& Source() const noexcept { return FSource; }
    // The field (column) a failure is about, '' when it is about none: the message names it
    // in quotes, and a dataset may show the field's display label there instead.
    const std::string& FieldName() const noexcept { return FFieldName; }
    const char* ClassName() const noexcept override { return "EDaoError"; }
    bool InheritsFrom(const std::string& n) const noexcept override {
        return NameIs(n, "EDaoError") || EDatabaseError::InheritsFrom(n);
    }
    std::unique_ptr<Exception> Clone() const override { return std::make_unique<EDaoError>(*this); }
    [[noreturn]] void Raise() const override { throw *this; }

private:
    int FNumber;
    std::string FSource;
    std::string FFieldName;
};

// The last failure, shared by an engine and every object opened through it.
class ErrorSink {
public:
    void Clear() { FErrors.clear(); }
    // Records the failure as the only entry and throws it.
    [[noreturn]] void Raise(int number, const std::string& description, const std::string& fieldName = "");
    const std::vector<ErrorRec>& Items() const { return FErrors; }

private:
    std::vector<ErrorRec> FErrors;
};

// The engine's own description for a number (the fixed texts of DaoMessages.h).
std::string DefaultDescription(int number);

}  // namespace Dao
