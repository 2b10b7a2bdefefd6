#pragma once

#include <QtGlobal>

#include <unistd.h>

// Tests run as root here, and permissions do not stop root: a test that needs
// a refused access takes the "nobody" user for a while.
namespace testenv {

constexpr uid_t NobodyUid = 65534;

// Takes another effective user for its lifetime (root only; anyone may
// "switch" to themselves).
class EffectiveUser
{
public:
    explicit EffectiveUser(uid_t uid)
        : m_previous(geteuid()), m_active(uid == m_previous || seteuid(uid) == 0)
    {
    }
    ~EffectiveUser()
    {
        if (m_active && geteuid() != m_previous && seteuid(m_previous) != 0)
            qFatal("cannot return to the test's own user");
    }
    EffectiveUser(const EffectiveUser &) = delete;
    EffectiveUser &operator=(const EffectiveUser &) = delete;
    bool active() const { return m_active; }

private:
    uid_t m_previous;
    bool m_active;
};

} // namespace testenv
