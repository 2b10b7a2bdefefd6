#pragma once

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace testenv {

// A small file system of its own on folder, mounted for the object's lifetime
// (root only), so that a test can fill it.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted
            = geteuid() == 0 && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted && ::umount2(m_folder.constData(), 0) != 0)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }

    // Fills the disk until it has no room left but spare bytes.
    void fill(qint64 spare = 0) const
    {
        const QDir disk(QFile::decodeName(m_folder));
        QFile reserve(disk.filePath(QStringLiteral("reserve")));
        if (spare > 0) {
            QVERIFY(reserve.open(QIODevice::WriteOnly));
            QCOMPARE(reserve.write(QByteArray(spare, 'r')), spare);
            reserve.close();
        }
        QFile filler(disk.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size()) { }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) { }
        if (spare > 0)
            QVERIFY(reserve.remove());
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace testenv
