#pragma once
// The exception classes of the class library, by their documented names.
// Every failure in Karomil is one of these: a message text plus the class name
// that scripts and error boxes show. Texts of the platform's own errors are the
// class library's English texts; user-facing layers raise Czech texts themselves.

#include <exception>
#include <memory>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0)
        : FMessage(std::move(message)), FHelpContext(helpContext) {}
    ~Exception() override = default;

    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string m) { FMessage = std::move(m); }
    int HelpContext() const noexcept { return FHelpContext; }

    // The class library's class name ("EConvertError"); used by scripts and error texts.
    virtual const char* ClassName() const noexcept { return "Exception"; }
    // True when this exception is of the named class or a descendant of it (ASCII case ignored).
    virtual bool InheritsFrom(const std::string& className) const noexcept;
    // A copy of the same dynamic type, so a caught exception can be kept and raised again.
    virtual std::unique_ptr<Exception> Clone() const { return std::make_unique<Exception>(*this); }
    [[noreturn]] virtual void Raise() const { throw *this; }

protected:
    static bool NameIs(const std::string& a, const char* b) noexcept;

private:
    std::string FMessage;
    int FHelpContext;
};

#define KAROMIL_DECLARE_EXCEPTION(Name, Base)                                                       \
    class Name : public Base {                                                                      \
    public:                                                                                         \
        using Base::Base;                                                                           \
        const char* ClassName() const noexcept override { return #Name; }                           \
        bool InheritsFrom(const std::string& n) const noexcept override {                           \
            return NameIs(n, #Name) || Base::InheritsFrom(n);                                       \
        }                                                                                           \
        std::unique_ptr<Exception> Clone() const override { return std::make_unique<Name>(*this); } \
        [[noreturn]] void Raise() const override { throw *this; }                                   \
    };

// Silent exception: aborts an operation without a message box.
KAROMIL_DECLARE_EXCEPTION(EAbort, Exception)
KAROMIL_DECLARE_EXCEPTION(EConvertError, Exception)
KAROMIL_DECLARE_EXCEPTION(EOutOfMemory, Exception)
KAROMIL_DECLARE_EXCEPTION(EInOutError, Exception)
KAROMIL_DECLARE_EXCEPTION(EInvalidCast, Exception)
KAROMIL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
KAROMIL_DECLARE_EXCEPTION(EAbstractError, Exception)
KAROMIL_DECLARE_EXCEPTION(EExternal, Exception)
KAROMIL_DECLARE_EXCEPTION(EIntError, EExternal)
KAROMIL_DECLARE_EXCEPTION(EDivByZero, EIntError)
KAROMIL_DECLARE_EXCEPTION(ERangeError, EIntError)
KAROMIL_DECLARE_EXCEPTION(EIntOverflow, EIntError)
KAROMIL_DECLARE_EXCEPTION(EMathError, EExternal)
KAROMIL_DECLARE_EXCEPTION(EInvalidOp, EMathError)
KAROMIL_DECLARE_EXCEPTION(EZeroDivide, EMathError)
KAROMIL_DECLARE_EXCEPTION(EOverflow, EMathError)
KAROMIL_DECLARE_EXCEPTION(EUnderflow, EMathError)
KAROMIL_DECLARE_EXCEPTION(EVariantError, Exception)
KAROMIL_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
KAROMIL_DECLARE_EXCEPTION(EVariantInvalidOpError, EVariantError)
KAROMIL_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)
KAROMIL_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError)
KAROMIL_DECLARE_EXCEPTION(EVariantInvalidArgError, EVariantError)
KAROMIL_DECLARE_EXCEPTION(EListError, Exception)
KAROMIL_DECLARE_EXCEPTION(EStringListError, EListError)
KAROMIL_DECLARE_EXCEPTION(EStreamError, Exception)
KAROMIL_DECLARE_EXCEPTION(EFCreateError, EStreamError)
KAROMIL_DECLARE_EXCEPTION(EFOpenError, EStreamError)
KAROMIL_DECLARE_EXCEPTION(EFilerError, EStreamError)
KAROMIL_DECLARE_EXCEPTION(EReadError, EFilerError)
KAROMIL_DECLARE_EXCEPTION(EWriteError, EFilerError)
KAROMIL_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
KAROMIL_DECLARE_EXCEPTION(EComponentError, Exception)
KAROMIL_DECLARE_EXCEPTION(EDatabaseError, Exception)
KAROMIL_DECLARE_EXCEPTION(EOleError, Exception)
KAROMIL_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
KAROMIL_DECLARE_EXCEPTION(EPrinter, Exception)

// Raises EAbort (the class library's "Operation aborted").
[[noreturn]] void Abort();
