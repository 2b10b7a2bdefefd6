#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <vector>

// Tests run as root here, and permissions do not stop root: a test that needs
// a refused access takes the "nobody" user for a while.
namespace testenv {

constexpr uid_t NobodyUid = 65534;
constexpr gid_t NobodyGid = 65534; // nobody's own group, "nogroup"

// Takes another effective user for its lifetime (root only; anyone may
// "switch" to themselves). Given a group as well, that group becomes the
// effective group and the only supplementary one, as for a user who belongs
// to that group alone.
class EffectiveUser
{
public:
    explicit EffectiveUser(uid_t uid)
        : m_previous(geteuid())
        , m_active(uid == m_previous || seteuid(uid) == 0)
    {
    }
    EffectiveUser(uid_t uid, gid_t gid)
        : m_previous(geteuid())
        , m_previousGroup(getegid())
        , m_previousGroups(getgroups(0, nullptr))
    {
        getgroups(int(m_previousGroups.size()), m_previousGroups.data());
        if (uid == m_previous && gid == m_previousGroup) {
            m_active = true;
            return;
        }
        m_groupsTaken = setgroups(1, &gid) == 0 && setegid(gid) == 0;
        m_active = m_groupsTaken && (uid == m_previous || seteuid(uid) == 0);
    }
    ~EffectiveUser()
    {
        if (m_active && geteuid() != m_previous && seteuid(m_previous) != 0)
            qFatal("cannot return to the test's own user");
        if (m_groupsTaken
            && (setegid(m_previousGroup) != 0
                || setgroups(m_previousGroups.size(), m_previousGroups.data()) != 0))
            qFatal("cannot return to the test's own groups");
    }
    // nobody, in nobody's group alone, when the test runs as root; otherwise
    // the test's own user, whom permissions stop already.
    static EffectiveUser ordinaryUser()
    {
        return geteuid() == 0 ? EffectiveUser(NobodyUid, NobodyGid)
                              : EffectiveUser(geteuid(), getegid());
    }

    EffectiveUser(const EffectiveUser &) = delete;
    EffectiveUser &operator=(const EffectiveUser &) = delete;
    bool active() const { return m_active; }

private:
    uid_t m_previous;
    gid_t m_previousGroup = 0;
    std::vector<gid_t> m_previousGroups;
    bool m_groupsTaken = false;
    bool m_active = false;
};

// Why the user that ordinaryUser() takes cannot pass into the temporary
// folder (TMPDIR) that holds the tests' files, or an empty string when they
// can: a TMPDIR inside a private folder, such as root's home, keeps them out,
// so that no permission of a file there is ever put to them.
inline QString ordinaryUserShutOutOfTempFolder()
{
    const QString folder = QDir::tempPath();
    const EffectiveUser user = EffectiveUser::ordinaryUser();
    if (!user.active()
        || ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), X_OK, AT_EACCESS) == 0)
        return QString();
    return QStringLiteral("the user nobody cannot pass into the temporary folder \"%1\" (TMPDIR)")
        .arg(folder);
}

} // namespace testenv

// Skips the running test, saying why, when the user nobody cannot pass into
// the temporary folder that holds the test's files.
#define SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR() \
    do { \
        if (const QString shutOut = testenv::ordinaryUserShutOutOfTempFolder(); \
            !shutOut.isEmpty()) \
            QSKIP(qPrintable(shutOut)); \
    } while (false)
