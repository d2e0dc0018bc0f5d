#pragma once
// A serial plug-in under test: the real plug-in file, loaded the way touchhost loads it, with
// its handler on a pty whose other end the test plays as the controller.
//
//   tp::testkit::SerialPluginHarness h("EloTouchHandler");
//   auto handler = h.create();             // constructed on h.line().slavePath()
//   tp::testkit::ReaderThread reader(*handler, &h.line());
//   h.line().send({...});                  // controller bytes
//   h.finish(reader);                      // every byte taken, hang up, reader ended
//   EXPECT_EQ(h.sink().count(), 1u);

#include "host/PluginLoader.h"
#include "host/RecordingTouchSink.h"
#include "sim/controllers/PtyLine.h"
#include "sim/testkit/LineInterposer.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ZorlanTouchHandler;

namespace tp::testkit {

// The folder the build puts plug-ins in.
std::string pluginDir();

// Calls readData on a thread of its own until it returns 0 on a line that has hung up (a 0
// on a live line, such as lost sync, is recorded and reading goes on, as a host does).
// Given the line, it hangs it up itself if it is destroyed while still reading (a test that
// stopped early), so that the reader can end.
class ReaderThread {
public:
    explicit ReaderThread(ZorlanTouchHandler& handler, sim::PtyLine* line = nullptr);
    ~ReaderThread();
    ReaderThread(const ReaderThread&) = delete;
    ReaderThread& operator=(const ReaderThread&) = delete;

    // Waits for the reader to end; false (and a test failure) if it is still reading after
    // `timeout`, in which case the program is ended, since the handler cannot be stopped.
    bool join(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
    // What readData returned, call by call.
    std::vector<int> results() const;

private:
    void run();

    ZorlanTouchHandler& m_handler;
    sim::PtyLine* m_line;
    mutable std::mutex m_lock;
    std::vector<int> m_results;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

class SerialPluginHarness {
public:
    // Loads <pluginDir()>/<plugin>.so; a plug-in that does not load is a fatal test failure
    // (plugin() is null then).
    explicit SerialPluginHarness(const std::string& plugin, int inputLines = 0);
    ~SerialPluginHarness();

    // A new handler on the line; null (with a test failure) if the factory gave none.
    host::SerialHandlerPtr create();

    const std::shared_ptr<host::Plugin>& plugin() const { return m_plugin; }
    sim::PtyLine& line() { return *m_line; }
    const std::string& device() const { return m_line->slavePath(); }
    host::RecordingTouchSink& sink() { return m_sink; }

    // Ends a session: waits until the handler has taken every byte sent, hangs up and waits
    // for `reader` to end. False if any of it did not happen in time.
    bool finish(ReaderThread& reader);

    // A whole session in one call: reads with `handler` while `stream` is sent, then hangs
    // up. Returns readData's results (the last one after the hang-up); the touches are in
    // sink().
    std::vector<int> play(ZorlanTouchHandler& handler, const sim::Bytes& stream);

private:
    std::shared_ptr<host::Plugin> m_plugin;
    std::unique_ptr<sim::PtyLine> m_line;
    std::unique_ptr<InterposedLine> m_lines;
    host::RecordingTouchSink m_sink;
};

} // namespace tp::testkit
