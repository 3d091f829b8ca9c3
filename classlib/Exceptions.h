// The class library's exception family. The system's own code raises none
// of these; the library raises them where the class library does (reading a
// form resource, opening, creating, reading or writing a file for a stream,
// loading a picture), and a program's WinMain or the application object
// catches and shows them.
#pragma once

#include <exception>

#include "AnsiString.h"

class Exception : public std::exception {
public:
    explicit Exception(const AnsiString &Msg) : FMessage(Msg) {}

    AnsiString Message() const { return FMessage; }
    void SetMessage(const AnsiString &Msg) { FMessage = Msg; }
    const char *what() const noexcept override { return FMessage.c_str(); }

private:
    AnsiString FMessage;
};

// Streams and the reading of form resources.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFilerError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// A form resource that cannot be read: malformed, or naming a class,
// property, value or handler that does not exist.
class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
// A stream that cannot be written to its end.
class EWriteError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
// A file that a stream cannot create or open.
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// A form's resource that is not there.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
// An operation that the object's state does not allow, such as showing a
// visible form modally.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A picture that cannot be loaded: an unknown kind of file, or a file whose
// content is damaged or cut short.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
// A JPEG picture that the decoder refuses.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};
