#include "RequestQueue.h"

bool RequestQueue::Admit(const AgentRequest& request) {
    if (!busy_) {
        busy_ = true;
        return true;
    }
    if (request.What == AgentRequest::Kind::Apply) {
        if (!waiting_.empty() && waiting_.back().Request == request) {
            ++waiting_.back().Count;
        } else if (waitingTokens_ < kMaxWaitingTokens) {
            waiting_.push_back({request});
            ++waitingTokens_;
        }
    } else if (waitingModeChanges_ < kMaxWaitingModeChanges) {
        waiting_.push_back({request});
        ++waitingModeChanges_;
    }
    return false;
}

std::optional<AgentRequest> RequestQueue::Finish() {
    if (waiting_.empty()) {
        busy_ = false;
        return std::nullopt;
    }
    Waiting& next = waiting_.front();
    const AgentRequest request = next.Request;
    if (--next.Count == 0) {
        --(request.What == AgentRequest::Kind::ModeChange ? waitingModeChanges_ : waitingTokens_);
        waiting_.pop_front();
    }
    return request;
}
