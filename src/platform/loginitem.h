#pragma once

// The program's own "start at login" registration. Main thread only.
class LoginItem
{
public:
    virtual ~LoginItem() = default;
    LoginItem() = default;
    LoginItem(const LoginItem &) = delete;
    LoginItem &operator=(const LoginItem &) = delete;

    // Whether the program is registered to start at login; false when unknown.
    virtual bool isEnabled() const = 0;
    // Registers (true) or unregisters (false). Returns false when that failed;
    // the previous registration is then left as it was.
    virtual bool setEnabled(bool enabled) = 0;
};
