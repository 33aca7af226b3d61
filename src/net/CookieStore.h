#pragma once

#include <memory>

// The in-memory cookie store shared by the clients of one project frame.
class CookieStore {
public:
    CookieStore();
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    struct Impl;
    Impl& impl() { return *d; }

private:
    std::unique_ptr<Impl> d;
};
