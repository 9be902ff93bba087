#pragma once

namespace nk {

// Sets a flag for the life of a scope and puts the old value back however the
// scope is left, so an error in a playback loop never leaves the window
// unclosable.
class ScopedFlag
{
public:
    explicit ScopedFlag(bool &flag, bool value = true) : m_flag(flag), m_old(flag)
    {
        m_flag = value;
    }
    ~ScopedFlag() { m_flag = m_old; }
    ScopedFlag(const ScopedFlag &) = delete;
    ScopedFlag &operator=(const ScopedFlag &) = delete;

private:
    bool &m_flag;
    bool m_old;
};

} // namespace nk
