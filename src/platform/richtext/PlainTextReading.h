#pragma once

#include "platform/richtext/PlainTextCodec.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

// A plain-text file read whole and decoded (see decodePlainText) on a thread
// of its own (or at once, when no thread can be started). Its paragraphs are
// handed over a run at a time while the rest is still being decoded, so that
// the control can take them in meanwhile.
class PlainTextReading
{
public:
    explicit PlainTextReading(const QString &path);
    // Waits for the thread: the reading stops at the file's end or at the
    // size limit.
    ~PlainTextReading();
    PlainTextReading(const PlainTextReading &) = delete;
    PlainTextReading &operator=(const PlainTextReading &) = delete;

    // Waits until a run is there or the reading has ended; false when it
    // failed before handing anything over.
    bool begins();

    // The next run, once it is there; none when all are handed over. Raises
    // what reading or decoding the file raised (RuntimeError as readWholeFile
    // does, or std::bad_alloc).
    std::optional<DecodedRun> next();

    // Once next() gave none: the whole text, as decodePlainText returns it,
    // and the file's format and other line breaks.
    const QString &paragraphs() const { return m_paragraphs; }
    const PlainTextFormat &format() const { return m_format; }
    const OtherLineBreaks &otherBreaks() const { return m_otherBreaks; }

private:
    void read(const QString &path);
    void handOver(DecodedRun run);
    void end(std::exception_ptr failure);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<DecodedRun> m_runs;
    bool m_ended = false;
    std::exception_ptr m_failure;
    QString m_paragraphs;
    PlainTextFormat m_format;
    OtherLineBreaks m_otherBreaks;
    std::thread m_thread;
};
