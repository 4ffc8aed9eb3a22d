#include "standin/call_record.h"

namespace standin {
namespace {

bool recording = false;

std::vector<Call>& record() {
    static std::vector<Call> calls;
    return calls;
}

} // namespace

void recordCalls(bool on) {
    recording = on;
}

bool recordingCalls() {
    return recording;
}

void record(Call call) {
    if (recording) {
        record().push_back(std::move(call));
    }
}

const std::vector<Call>& calls() {
    return record();
}

std::vector<Call> takeCalls() {
    return std::exchange(record(), {});
}

} // namespace standin
