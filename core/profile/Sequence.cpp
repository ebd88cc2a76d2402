#include "core/profile/Sequence.h"

#include "core/dtu/Requests.h"

namespace profile {

std::vector<Step> ReadSteps(unsigned queries)
{
    std::vector<Step> steps;
    for (const QueryStep& q : QuerySteps(queries))
        steps.push_back({q.name, *dtu::BuildQuery(q.code), q.code});
    return steps;
}

std::vector<Step> WriteSteps(const std::vector<PlannedWrite>& writes, unsigned verifyQueries)
{
    std::vector<Step> steps;
    for (const PlannedWrite& w : writes)
        steps.push_back({w.what, w.frame, w.frame.size() > 2 ? w.frame[2] : std::uint8_t{0}});
    for (Step& s : ReadSteps(verifyQueries))
        steps.push_back(std::move(s));
    return steps;
}

bool Sequence::OnAnswer(const dtu::Response& answer)
{
    const Step* step = Current();
    if (!step || answer.IsDataFrame() || !answer.EnvelopeOk() || answer.Code() != step->code)
        return false;
    TakeAnswer(read_, step->code, answer);
    ++next_;
    return true;
}

void Sequence::GiveUp()
{
    if (const Step* step = Current()) {
        unanswered_.push_back(step->what);
        ++next_;
    }
}

}  // namespace profile
