// The hand-over between the window and the worker, with a disk query that
// blocks until the test lets it go: the caller never waits, a stuck query
// holds up neither endPlugin nor the next start, and an answer for an old
// format never lands in the new one's segments. Then the queue's rules one
// by one, without a thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "format/format.h"
#include "metrics/disk_native.h"
#include "metrics/stand_ins.h"
#include "metrics/system_native.h"
#include "metrics/temperature.h"
#include "plugin/frame.h"
#include "worker/worker_native.h"

namespace {

constexpr uint64_t kGiB = 1024ULL * 1024 * 1024;

// Disk queries wait here until the test passes them on, one by one.
struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    int entered = 0;
    int passes = 0;
} gate;

void waitAtGate(char) {
    std::unique_lock<std::mutex> hold(gate.lock);
    ++gate.entered;
    gate.changed.notify_all();
    gate.changed.wait(hold, [] { return gate.passes > 0; });
    --gate.passes;
}

void pass(int queries) {
    {
        std::lock_guard<std::mutex> hold(gate.lock);
        gate.passes += queries;
    }
    gate.changed.notify_all();
}

template <typename Condition>
bool within(std::chrono::milliseconds limit, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool entered(int queries) {
    std::unique_lock<std::mutex> hold(gate.lock);
    return gate.changed.wait_for(hold, std::chrono::seconds(5), [&] { return gate.entered >= queries; });
}

int posts() {
    return __atomic_load_n(&workerStandIn.posts, __ATOMIC_SEQ_CST);
}

int threadsLive() {
    return __atomic_load_n(&workerStandIn.threadsLive, __ATOMIC_SEQ_CST);
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        // The last test's threads have ended (TearDown): no one is at the gate.
        gate.entered = 0;
        gate.passes = 0;
        freeSegments();
        diskStandIn.volumes['C' - 'A'] = {true, 30 * kGiB, 100 * kGiB, 33 * kGiB};
        diskStandIn.volumes['D' - 'A'] = {true, 1 * kGiB, 2 * kGiB, 1 * kGiB};
        diskStandIn.during = waitAtGate;
    }
    void TearDown() override {
        pass(1000);
        stopWorker();
        EXPECT_TRUE(within(std::chrono::seconds(5), [] { return threadsLive() == 0; }));
        freeSegments();
    }
    static void compile(const char* format) {
        freeSegments();
        compileFormat(format, IdentityTexts{"", "", ""});
    }
    static std::string text(DiskKind kind, char letter) {
        return formatEngine.segments[diskSlotOf(kind, letter)];
    }
    static std::string shown() {
        assembleDisplayText();
        return formatEngine.displayText;
    }
};

TEST_F(WorkerTest, AStuckQueryHoldsUpNeitherTheWindowNorEndPluginNorTheNextStart) {
    startWorker(nullptr);
    compile("C:%DFC %H");
    updateDiskSpace();
    ASSERT_TRUE(entered(1));
    // Due again while it runs: not queued again. The other queries wait
    // behind it on the one thread, the window does not.
    updateDiskSpace();
    updateDiskSpace();
    updateDriveTemperature();
    EXPECT_FALSE(collectAnswers());
    EXPECT_EQ(shown(), "C:-- 255");

    auto start = std::chrono::steady_clock::now();
    stopWorker();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::milliseconds(kWorkerStopWaitMs + 1000));

    // The next start answers while the old worker is still stuck.
    startWorker(nullptr);
    compile("C:%DFC");
    diskStandIn.during = nullptr;
    updateDiskSpace();
    ASSERT_TRUE(within(std::chrono::seconds(5), [] { return posts() > 0; }));
    EXPECT_TRUE(collectAnswers());
    EXPECT_EQ(shown(), "C:30.0 GB");
    EXPECT_EQ(threadsLive(), 2);

    // Let go, the old worker ends without a word to the new start.
    const int postsBefore = posts();
    pass(1);
    ASSERT_TRUE(within(std::chrono::seconds(5), [] { return threadsLive() == 1; }));
    EXPECT_EQ(posts(), postsBefore);
    EXPECT_EQ(diskStandIn.queries, 2);
}

TEST_F(WorkerTest, AnAnswerForAnOldFormatIsDropped) {
    startWorker(nullptr);
    compile("%DFC");
    updateDiskSpace();
    ASSERT_TRUE(entered(1));
    // A new format while the old one's query runs: its first segment is
    // now D's total, where C's free space must not land.
    compile("%DTD|%DFC");
    updateDiskSpace();
    pass(1);
    ASSERT_TRUE(entered(2));  // the old answer is in; the new query waits
    ASSERT_TRUE(within(std::chrono::seconds(5), [] { return posts() == 1; }));
    collectAnswers();
    EXPECT_EQ(shown(), "--|--");

    pass(2);
    ASSERT_TRUE(within(std::chrono::seconds(5), [] { return posts() == 2; }));
    EXPECT_TRUE(collectAnswers());
    EXPECT_EQ(shown(), "2.00 GB|30.0 GB");
    EXPECT_EQ(text(DiskFree, 'C'), "30.0 GB");
    // A request the same as the one answered runs again (the next interval).
    updateDiskSpace();
    pass(2);
    EXPECT_TRUE(within(std::chrono::seconds(5), [] { return posts() == 3; }));
}

// The process count is asked on the worker's thread, which a main tick
// wakes once its paint is done. Its answer has the line painted anew only
// when what is shown changed; a failed count keeps the last, and a new
// format shows the last count until its answer.
TEST_F(WorkerTest, TheProcessCountIsAnsweredByTheWorkerAndRepaintsOnlyWhenItChanged) {
    createSystemSampler();
    startWorker(nullptr);
    compile("%CN procs, cpu %CP");
    takeSegmentChanges();  // the compile's line is painted
    int answers = 0;
    // As a main tick asks: the worker is woken once the tick is painted.
    auto answered = [&answers](int count) {
        systemStandIn.processCount = count;
        holdWakeUps();
        updateProcessCount();
        releaseWakeUps();
        ++answers;
        return within(std::chrono::seconds(5), [&answers] { return posts() == answers; });
    };
    ASSERT_TRUE(answered(42));
    EXPECT_EQ(shown(), "procnum procs, cpu cpu");  // until the window applies the answer
    EXPECT_TRUE(applyAnswers(0));
    EXPECT_EQ(shown(), "42 procs, cpu cpu");
    EXPECT_EQ(segmentValue(0).value, 42);

    ASSERT_TRUE(answered(42));
    EXPECT_FALSE(applyAnswers(0));  // the same count: no paint
    EXPECT_FALSE(applyAnswers(0));  // no answer waiting
    ASSERT_TRUE(answered(0));       // none read
    EXPECT_FALSE(applyAnswers(0));
    EXPECT_EQ(shown(), "42 procs, cpu cpu");
    // A figure written since the last paint (by a slower timer) is painted
    // with the next answer, even one that changes nothing.
    writeSegment(slotOf(SlotCpuLoad), "5%");
    ASSERT_TRUE(answered(42));
    EXPECT_TRUE(applyAnswers(0));

    compile("n=%CN");
    systemStandIn.processCount = 43;
    updateProcessCount();
    EXPECT_EQ(shown(), "n=42");
    ++answers;
    ASSERT_TRUE(within(std::chrono::seconds(5), [&answers] { return posts() == answers; }));
    EXPECT_TRUE(applyAnswers(0));
    EXPECT_EQ(shown(), "n=43");
    EXPECT_EQ(systemStandIn.processCounts, answers);
    destroySystemSampler();
}

// Kinds of work that only count the answers applied; a request carries
// one number. One kind more than the queue has places for.
int applied;
void runNothing(Work*) {}
void countAnswer(const Work&) {
    ++applied;
}
const WorkKind kKinds[kWorkKinds + 1] = {
    {runNothing, countAnswer}, {runNothing, countAnswer}, {runNothing, countAnswer},
    {runNothing, countAnswer}, {runNothing, countAnswer}, {runNothing, countAnswer},
    {runNothing, countAnswer}, {runNothing, countAnswer}, {runNothing, countAnswer}};

class WorkQueueTest : public ::testing::Test {
protected:
    void SetUp() override { applied = 0; }
    static Work request(int kind, int number) {
        Work work;
        clearWork(&work, kKinds[kind]);
        workData<int>(&work) = number;
        return work;
    }
    // True when the worker must be woken.
    bool ask(int kind, int number) { return queueWork(&queue_, request(kind, number)); }
    // The query taken next as "kind:number", "" when none waits.
    std::string take() {
        Work work;
        if (!takeWork(&queue_, &work)) {
            return "";
        }
        running_ = work;
        return std::to_string(work.kind - kKinds) + ":" + std::to_string(workData<int>(work));
    }
    void finishRunning() { finishWork(&queue_, running_); }

    WorkQueue queue_{};
    Work running_{};
};

TEST_F(WorkQueueTest, ANewerRequestTakesThePlaceOfTheOneWaitingAndItsTurn) {
    EXPECT_TRUE(ask(0, 1));
    EXPECT_TRUE(ask(1, 1));
    EXPECT_FALSE(ask(0, 2));  // waiting already: the worker is awake for it
    EXPECT_TRUE(ask(2, 1));
    EXPECT_EQ(take(), "0:2");
    EXPECT_EQ(take(), "1:1");
    EXPECT_TRUE(ask(0, 3));  // asked after 2:1, so taken after it
    EXPECT_EQ(take(), "2:1");
    EXPECT_EQ(take(), "0:3");
    EXPECT_EQ(take(), "");
}

TEST_F(WorkQueueTest, ARequestEqualToTheOneRunningIsNotQueuedUntilItIsAnswered) {
    ask(0, 1);
    EXPECT_EQ(take(), "0:1");
    EXPECT_FALSE(ask(0, 1));
    EXPECT_EQ(take(), "");
    Work forNewFormat = request(0, 1);
    forNewFormat.generation = 1;  // a format compiled since: the running answer is dropped
    EXPECT_TRUE(queueWork(&queue_, forNewFormat));
    EXPECT_FALSE(ask(0, 2));  // takes its place
    EXPECT_FALSE(ask(0, 1));  // newer still, and the one running answers it
    EXPECT_TRUE(ask(1, 1));   // the same bytes, another kind
    finishRunning();
    EXPECT_EQ(take(), "1:1");
    EXPECT_EQ(take(), "");
    finishRunning();
    EXPECT_TRUE(ask(0, 1));  // answered: the next interval asks again
    EXPECT_EQ(take(), "0:1");
}

TEST_F(WorkQueueTest, EachKindKeepsItsNewestAnswerUntilTaken) {
    ask(0, 1);
    take();
    finishRunning();
    ask(0, 2);
    take();
    finishRunning();
    Work answer;
    ASSERT_TRUE(takeAnswer(&queue_, &answer));
    EXPECT_EQ(workData<int>(answer), 2);
    EXPECT_FALSE(takeAnswer(&queue_, &answer));
}

TEST_F(WorkQueueTest, AKindBeyondThePlacesIsDroppedAndTheOthersStillServed) {
    for (int kind = 0; kind <= kWorkKinds; ++kind) {
        EXPECT_EQ(ask(kind, 5), kind < kWorkKinds) << kind;
    }
    for (int kind = 0; kind < kWorkKinds; ++kind) {
        EXPECT_EQ(take(), std::to_string(kind) + ":5");
    }
    EXPECT_EQ(take(), "");
    Work none{};
    EXPECT_FALSE(queueWork(&queue_, none));  // no kind at all
}

TEST_F(WorkQueueTest, AnAnswerIsAppliedForItsOwnFormatOrAnyWhenItNamesNone) {
    freeSegments();
    compileFormat("%CP", IdentityTexts{"", "", ""});
    const unsigned gone = formatEngine.compiles;
    freeSegments();
    compileFormat("%CP", IdentityTexts{"", "", ""});
    Work work = request(0, 1);
    const struct {
        unsigned generation;
        bool appliedToo;
    } rows[] = {{0, true}, {formatEngine.compiles, true}, {gone, false}};
    for (const auto& row : rows) {
        const int before = applied;
        work.generation = row.generation;
        applyWork(work);
        EXPECT_EQ(applied - before, row.appliedToo ? 1 : 0) << row.generation;
    }
    freeSegments();
}

}  // namespace
