// Exception types of the program. Each carries exactly the text the user sees in the
// error box, so the code that reports an error never has to know where it came from.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quaff {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a valid number (or an invalid date/time part).
class ConvertError : public Error {
public:
    using Error::Error;
};

class ZeroDivideError : public Error {
public:
    ZeroDivideError() : Error("Floating point division by zero") {}
    using Error::Error;
};

class InvalidOpError : public Error {
public:
    InvalidOpError() : Error("Invalid floating point operation") {}
    using Error::Error;
};

class OverflowError : public Error {
public:
    OverflowError() : Error("Floating point overflow") {}
    using Error::Error;
};

// The following carry a message composed by whoever throws them.
class JpegError : public Error {
public:
    using Error::Error;
};

class FileOpenError : public Error {
public:
    using Error::Error;
};

class ReadError : public Error {
public:
    using Error::Error;
};

// "'<text>' is not a valid floating point value"
std::string InvalidFloatMessage(std::string_view text);
// "'<text>' is not a valid integer value"
std::string InvalidIntegerMessage(std::string_view text);

// The text of the program's error box: the message, with a full stop added when it is
// not empty and its last byte sorts above '.' (so "...value" gets one; "...changes.", and
// a message ending in a blank, '!' or ')', do not).
std::string ErrorBoxText(std::string_view message);

}  // namespace quaff
