#pragma once

#include <stdexcept>
#include <string>

// A request that did not return a body: transport error, non-2xx status, redirect, body too large.
class EHttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The transfer was ended by abort(); callers treat it as the user's stop, not as a failed attempt.
class EHttpAborted : public EHttpError {
public:
    using EHttpError::EHttpError;
};

// The reply body went beyond the client's limit.
class EHttpTooLarge : public EHttpError {
public:
    using EHttpError::EHttpError;
};

// The server answered with a status outside 2xx.
class EHttpStatus : public EHttpError {
public:
    EHttpStatus(const std::string& what, int status)
        : EHttpError(what)
        , m_status(status)
    {
    }
    int status() const { return m_status; }

private:
    int m_status;
};
