#pragma once

#include <QByteArray>
#include <QIODevice>

// A write-only device that takes the first `limit` bytes written to it and
// refuses everything after: the write that crosses the limit is cut short,
// and any later write fails outright, as on a full disk.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit)
        : m_limit(limit)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    const QByteArray &written() const { return m_written; }
    // How many write calls reached the device, refused ones included.
    int writeCalls() const { return m_writeCalls; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 length) override
    {
        ++m_writeCalls;
        const qint64 room = m_limit - m_written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("no space left"));
            return -1;
        }
        const qint64 taken = qMin(room, length);
        m_written.append(data, static_cast<int>(taken));
        return taken;
    }

private:
    qint64 m_limit;
    QByteArray m_written;
    int m_writeCalls = 0;
};
