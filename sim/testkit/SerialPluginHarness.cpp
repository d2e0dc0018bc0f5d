#include "sim/testkit/SerialPluginHarness.h"

#include "contract/ZorlanTouchHandler.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tp::testkit {

std::string pluginDir() { return TP_PLUGIN_DIR; }

ReaderThread::ReaderThread(ZorlanTouchHandler& handler, sim::PtyLine* line)
    : m_handler(handler), m_line(line), m_thread([this] { run(); })
{
}

ReaderThread::~ReaderThread()
{
    if (!m_thread.joinable())
        return;
    if (!m_done && m_line)
        m_line->hangUp();
    join();
}

void ReaderThread::run()
{
    for (;;) {
        int r = m_handler.readData();
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_results.push_back(r);
        }
        if (r == 0 && sim::hungUp(m_handler.descriptor()))
            break;
    }
    m_done = true;
}

bool ReaderThread::join(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!m_done) {
        // A handler that keeps reading a line that is gone would hang its host; there is no
        // way to stop it from here, so say so and end the program.
        ADD_FAILURE() << "readData still running " << timeout.count()
                      << " ms after the line hung up";
        std::fprintf(stderr, "reader did not end after hang-up; giving up\n");
        std::fflush(nullptr);
        std::_Exit(1);
    }
    m_thread.join();
    return true;
}

std::vector<int> ReaderThread::results() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_results;
}

SerialPluginHarness::SerialPluginHarness(const std::string& plugin, int inputLines)
    : m_line(std::make_unique<sim::PtyLine>())
{
    m_lines = std::make_unique<InterposedLine>(m_line->slavePath());
    LineInterposer::setInputLines(m_line->slavePath(), inputLines);
    std::string error;
    m_plugin = host::Plugin::load(plugin, pluginDir(), &error);
    if (!m_plugin)
        ADD_FAILURE() << "cannot load " << plugin << ": " << error;
}

SerialPluginHarness::~SerialPluginHarness() = default;

host::SerialHandlerPtr SerialPluginHarness::create()
{
    if (!m_plugin)
        return nullptr;
    std::string error;
    host::SerialHandlerPtr h = m_plugin->createTouchHandler(m_line->slavePath().c_str(), &error);
    if (!h)
        ADD_FAILURE() << m_plugin->name() << " factory gave no handler: " << error;
    return h;
}

bool SerialPluginHarness::finish(ReaderThread& reader)
{
    bool consumed = m_line->waitConsumed();
    EXPECT_TRUE(consumed) << "the handler did not read everything the controller sent";
    m_line->hangUp();
    return reader.join() && consumed;
}

} // namespace tp::testkit

namespace tp::testkit {

std::vector<int> SerialPluginHarness::play(ZorlanTouchHandler& handler, const sim::Bytes& stream)
{
    ReaderThread reader(handler, m_line.get());
    m_line->send(stream);
    finish(reader);
    return reader.results();
}

} // namespace tp::testkit
