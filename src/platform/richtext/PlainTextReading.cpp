#include "platform/richtext/PlainTextReading.h"

#include "platform/files/FileReading.h"

#include <system_error>

PlainTextReading::PlainTextReading(const QString &path)
{
    try {
        m_thread = std::thread([this, path] { read(path); });
    } catch (const std::system_error &) {
        read(path); // no thread to be had: the file is read here and now
    }
}

PlainTextReading::~PlainTextReading()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PlainTextReading::read(const QString &path)
{
    try {
        // The runs are views of m_paragraphs, which lives as long as this
        // reading: they stay valid should decoding fail. The whole is read
        // only once next() has told of the end.
        decodePlainTextInRuns(readWholeFile(path), m_paragraphs, &m_format, &m_otherBreaks,
                              [this](DecodedRun run) { handOver(std::move(run)); });
        end(nullptr);
    } catch (...) {
        end(std::current_exception());
    }
}

void PlainTextReading::handOver(DecodedRun run)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_runs.push_back(std::move(run));
    }
    m_changed.notify_one();
}

void PlainTextReading::end(std::exception_ptr failure)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_failure = std::move(failure);
        m_ended = true;
    }
    m_changed.notify_one();
}

bool PlainTextReading::begins()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_ended || !m_runs.empty(); });
    return !m_runs.empty() || !m_failure;
}

std::optional<DecodedRun> PlainTextReading::next()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_ended || !m_runs.empty(); });
    if (!m_runs.empty()) {
        DecodedRun run = std::move(m_runs.front());
        m_runs.pop_front();
        return run;
    }
    if (m_failure)
        std::rethrow_exception(m_failure);
    return std::nullopt;
}
