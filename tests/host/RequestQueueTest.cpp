#include "RequestQueue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace {

const AgentRequest kApply{AgentRequest::Kind::Apply};
AgentRequest Mode(int n) { return {AgentRequest::Kind::ModeChange, n, 1}; }

// Runs what the queue hands out after the current request, in order.
std::vector<AgentRequest> Drain(RequestQueue& queue) {
    std::vector<AgentRequest> ran;
    while (const auto next = queue.Finish()) ran.push_back(*next);
    return ran;
}

TEST(RequestQueueTest, NestedRequestsRunAfterTheCurrentOneInTheirOrder) {
    RequestQueue queue;
    ASSERT_TRUE(queue.Admit(kApply));
    EXPECT_FALSE(queue.Admit(Mode(2)));
    EXPECT_FALSE(queue.Admit(kApply));
    EXPECT_FALSE(queue.Admit(kApply));
    EXPECT_FALSE(queue.Admit(Mode(3)));
    EXPECT_TRUE(queue.Busy());

    EXPECT_EQ(Drain(queue), (std::vector<AgentRequest>{Mode(2), kApply, kApply, Mode(3)}));
    EXPECT_FALSE(queue.Busy());
    EXPECT_TRUE(queue.Admit(kApply)) << "idle again, the next request runs at once";
}

TEST(RequestQueueTest, EveryQueuedApplyRunsButOnlyABoundedNumberOfModeChangesWait) {
    RequestQueue queue;
    ASSERT_TRUE(queue.Admit(kApply));
    for (int i = 0; i < 5000; ++i) queue.Admit(kApply);
    for (int i = 0; i < 100; ++i) queue.Admit(Mode(1 + i % 3));
    queue.Admit(kApply);

    const auto ran = Drain(queue);
    const auto applies = std::count(ran.begin(), ran.end(), kApply);
    EXPECT_EQ(applies, 5001) << "each apply command gets its own answer";
    EXPECT_EQ(ran.size() - applies, RequestQueue::kMaxWaitingModeChanges);
    EXPECT_EQ(ran.back(), kApply);
}

}  // namespace
