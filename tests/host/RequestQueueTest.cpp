#include "RequestQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const AgentRequest kApply{AgentRequest::Kind::Apply};
AgentRequest Mode(int n) { return {AgentRequest::Kind::ModeChange, n, ModeKind::Profile}; }

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

TEST(RequestQueueTest, EachApplyKeepsItsTokenAndAFloodOfTokensIsBounded) {
    RequestQueue queue;
    const auto apply = [](std::uintptr_t token) {
        return AgentRequest{AgentRequest::Kind::Apply, 0, ModeKind::CpiLevel, token};
    };
    ASSERT_TRUE(queue.Admit(apply(1)));
    queue.Admit(apply(7));
    queue.Admit(apply(7));
    queue.Admit(apply(8));
    EXPECT_EQ(Drain(queue), (std::vector<AgentRequest>{apply(7), apply(7), apply(8)}));

    ASSERT_TRUE(queue.Admit(apply(1)));
    for (std::uintptr_t token = 100; token < 100 + 5000; ++token) queue.Admit(apply(token));
    const auto ran = Drain(queue);
    ASSERT_EQ(ran.size(), RequestQueue::kMaxWaitingTokens);
    EXPECT_EQ(ran.front(), apply(100)) << "the first to come are the ones kept";
}

}  // namespace
