// Fuzzes the outgoing path: requests through the generated clients, the host's replies and
// rejections under chosen ids, and the host function installed, replaced and removed, in the
// order the input gives. A model of the pending table says what each step must do.
//
// Input: a sequence of operations, each an opcode byte and its operands; unknown opcodes are
// skipped and a missing operand reads as 0.
//   'c' m L <L bytes>   call method m % 8 of the bridge through its client; the bytes, decoded as
//                       the request type (the default request when they do not decode), are sent
//   'r' s L <L bytes>   reply to the id chosen by s; L = 0xFE: a null pointer with length 0,
//                       L = 0xFF n: a null pointer with length n + 1
//   'j' s L <L bytes>   reject the id chosen by s, with the bytes as text (up to a NUL);
//                       L = 0xFF: a null text
//   'h' k               host function k % 4: none, host A, host B, the answering host
//   's' k L <L bytes>   how the answering host answers from inside its call-out, k % 5: reply
//                       with the bytes, reject with them as text, reject with a null text, reply
//                       with a null pointer and length L + 1, reply with the bytes and then
//                       reject as well
// An id selector s below 0xC0 picks one of the ids this input has passed to the host (s modulo
// their number; an id answered already is then answered again); otherwise an id that is not
// pending: 0, the largest id, or one beyond the last id passed to the host.
//
// Checks: every caller's callback runs at most once, exactly once when its call was answered (or
// failed at once for want of a host), with the right result; the host sees each call once, under
// the next id, with the method's names and the serialized request; answers to ids that are not
// pending change nothing. At the end of each input the calls still pending are rejected, so every
// callback has run once.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge_methods.h"
#include "fuzz_check.h"
#include "rpc/error_texts.h"
#include "rpc/host_boundary.h"
#include "rpc/request.h"

namespace ondrel::fuzz {
namespace {

// Reads operands; past the end every byte is 0.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return position_ >= size_; }
  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::string Bytes(size_t count) {
    const size_t available = position_ < size_ ? size_ - position_ : 0;
    if (count > available) count = available;
    std::string bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

enum class HostKind { kNone, kA, kB, kAnswering };

// One call as it reached a host function.
struct HostCall {
  HostKind host;
  uint64_t id;
  std::string service;
  std::string method;
  std::string payload;
};

enum class AnswerMode { kReply, kReject, kRejectNull, kReplyNullData, kReplyThenReject };

struct SynchronousAnswer {
  AnswerMode mode = AnswerMode::kReply;
  std::string bytes;
  size_t null_length = 1;
};

// One caller of a client and what its callback received.
struct Caller {
  const BridgeMethod* method;
  int runs = 0;
  Outcome outcome;
};

// The process-wide side: the transport numbers calls for the life of the process.
uint64_t last_id_passed = 0;
ReplyFn reply_entry = nullptr;
RejectFn reject_entry = nullptr;

// The current input's side.
std::vector<HostCall> host_calls;
SynchronousAnswer synchronous_answer;
std::vector<Caller> callers;
int callback_runs = 0;  // of all callers together
bool input_running = false;

void Record(HostKind host, uint64_t id, const char* service, const char* method, const char* data,
            size_t len, ReplyFn reply, RejectFn reject) {
  FUZZ_CHECK(service != nullptr && method != nullptr, "null names reached the host");
  FUZZ_CHECK(len == 0 || data != nullptr, "request bytes announced but no pointer");
  FUZZ_CHECK(reply != nullptr && reject != nullptr, "no answer entries given to the host");
  reply_entry = reply;
  reject_entry = reject;
  host_calls.push_back({host, id, service, method, std::string(data == nullptr ? "" : data, len)});
}

void HostA(uint64_t id, const char* service, const char* method, const char* data, size_t len,
           ReplyFn reply, RejectFn reject) {
  Record(HostKind::kA, id, service, method, data, len, reply, reject);
}

void HostB(uint64_t id, const char* service, const char* method, const char* data, size_t len,
           ReplyFn reply, RejectFn reject) {
  Record(HostKind::kB, id, service, method, data, len, reply, reject);
}

void AnsweringHost(uint64_t id, const char* service, const char* method, const char* data,
                   size_t len, ReplyFn reply, RejectFn reject) {
  Record(HostKind::kAnswering, id, service, method, data, len, reply, reject);
  const SynchronousAnswer answer = synchronous_answer;
  switch (answer.mode) {
    case AnswerMode::kReply:
      reply(id, answer.bytes.data(), answer.bytes.size());
      break;
    case AnswerMode::kReject:
      reject(id, answer.bytes.c_str());
      break;
    case AnswerMode::kRejectNull:
      reject(id, nullptr);
      break;
    case AnswerMode::kReplyNullData:
      reply(id, nullptr, answer.null_length);
      break;
    case AnswerMode::kReplyThenReject:
      reply(id, answer.bytes.data(), answer.bytes.size());
      reject(id, answer.bytes.c_str());
      break;
  }
}

HostInvokeFn HostFunction(HostKind kind) {
  switch (kind) {
    case HostKind::kNone:
      return nullptr;
    case HostKind::kA:
      return &HostA;
    case HostKind::kB:
      return &HostB;
    case HostKind::kAnswering:
      return &AnsweringHost;
  }
  return nullptr;
}

// The model of the transport's pending table, for this input's calls.
class Model {
 public:
  // Runs the next caller's call of `method` with `request` and checks what happened.
  void Call(const BridgeMethod& method, const google::protobuf::Message& request) {
    const size_t index = callers.size();
    callers.push_back({&method, 0, {}});
    const size_t host_calls_before = host_calls.size();
    const uint64_t last_id_before = last_id_passed;
    const int runs_before = callback_runs;
    method.send(request, [index](Outcome outcome) {
      FUZZ_CHECK(input_running && index < callers.size(), "callback ran after its input ended");
      callers[index].runs++;
      callers[index].outcome = std::move(outcome);
      callback_runs++;
    });

    FUZZ_CHECK(
        callback_runs == runs_before + (host_ == HostKind::kA || host_ == HostKind::kB ? 0 : 1),
        "a call ran another caller's callback");
    if (host_ == HostKind::kNone) {
      FUZZ_CHECK(host_calls.size() == host_calls_before, "a call reached a removed host");
      ExpectRanWith(index, std::nullopt, kz::rpc::kHostNotAvailable);
      return;
    }
    FUZZ_CHECK(host_calls.size() == host_calls_before + 1, "the host did not get the call once");
    const HostCall& call = host_calls.back();
    FUZZ_CHECK(call.host == host_, "the call reached another host function");
    FUZZ_CHECK(call.id == last_id_before + 1, "ids are not 1, 2, 3, ...");
    FUZZ_CHECK(call.service == method.service && call.method == method.method,
               "wrong names reached the host");
    FUZZ_CHECK(call.payload == request.SerializeAsString(), "wrong request bytes reached the host");
    last_id_passed = call.id;
    issued_.push_back(call.id);
    pending_[call.id] = index;

    if (host_ == HostKind::kAnswering) {
      const SynchronousAnswer& answer = synchronous_answer;
      switch (answer.mode) {
        case AnswerMode::kReply:
        case AnswerMode::kReplyThenReject:
          ExpectReply(call.id, answer.bytes.data(), answer.bytes.size());
          break;
        case AnswerMode::kReject:
          ExpectReject(call.id, answer.bytes.c_str());
          break;
        case AnswerMode::kRejectNull:
          ExpectReject(call.id, nullptr);
          break;
        case AnswerMode::kReplyNullData:
          ExpectReply(call.id, nullptr, answer.null_length);
          break;
      }
    } else {
      FUZZ_CHECK(callers[index].runs == 0, "callback ran before the host answered");
    }
  }

  void SetHost(HostKind kind) {
    ::set_host_invoke(HostFunction(kind));
    host_ = kind;
  }

  // The id an answer goes to: one this input passed to the host, or one that is not pending.
  uint64_t ChooseId(uint8_t selector) const {
    if (selector < 0xC0 && !issued_.empty()) return issued_[selector % issued_.size()];
    switch (selector % 3) {
      case 0:
        return 0;
      case 1:
        return UINT64_MAX;
      default:
        return last_id_passed + 1 + selector % 16;
    }
  }

  void Reply(uint64_t id, const char* data, size_t len) {
    FUZZ_CHECK(reply_entry != nullptr, "no reply entry");
    const int runs_before = callback_runs;
    reply_entry(id, data, len);
    ExpectReply(id, data, len, runs_before);
  }

  void Reject(uint64_t id, const char* error) {
    FUZZ_CHECK(reject_entry != nullptr, "no reject entry");
    const int runs_before = callback_runs;
    reject_entry(id, error);
    ExpectReject(id, error, runs_before);
  }

  // Rejects whatever is still pending, so that no callback outlives its input.
  void Finish() {
    while (!pending_.empty()) Reject(pending_.begin()->first, "end of input");
    for (const Caller& caller : callers) {
      FUZZ_CHECK(caller.runs == 1, "a callback did not run exactly once");
    }
  }

 private:
  // After an answer to `id`: the pending caller's callback ran once with the outcome, and no other
  // callback ran. `runs_before` is the number of callback runs before the answer; it is not given
  // for an answer from inside the call-out, which Call checks.
  void ExpectReply(uint64_t id, const char* data, size_t len,
                   std::optional<int> runs_before = std::nullopt) {
    std::optional<size_t> index = TakePending(id);
    CheckRunsSince(index, runs_before);
    if (!index) return;
    const BridgeMethod& method = *callers[*index].method;
    if (len != 0 && data == nullptr) {
      ExpectRanWith(*index, std::nullopt, kz::rpc::kResponseParseFailed);
      return;
    }
    std::unique_ptr<google::protobuf::Message> response(method.response->New());
    if (response->ParseFromArray(data, static_cast<int>(len))) {
      ExpectRanWith(*index, response->SerializeAsString(), "");
    } else {
      ExpectRanWith(*index, std::nullopt, kz::rpc::kResponseParseFailed);
    }
  }

  void ExpectReject(uint64_t id, const char* error, std::optional<int> runs_before = std::nullopt) {
    std::optional<size_t> index = TakePending(id);
    CheckRunsSince(index, runs_before);
    if (!index) return;
    ExpectRanWith(*index, std::nullopt, error == nullptr ? "" : error);
  }

  std::optional<size_t> TakePending(uint64_t id) {
    auto it = pending_.find(id);
    if (it == pending_.end()) return std::nullopt;
    const size_t index = it->second;
    pending_.erase(it);
    return index;
  }

  static void CheckRunsSince(std::optional<size_t> answered, std::optional<int> runs_before) {
    if (!runs_before) return;
    FUZZ_CHECK(callback_runs == *runs_before + (answered ? 1 : 0),
               "an answer ran a callback it was not for");
  }

  static void ExpectRanWith(size_t index, const std::optional<std::string>& value,
                            const std::string& error) {
    const Caller& caller = callers[index];
    FUZZ_CHECK(caller.runs == 1, "callback did not run exactly once on its answer");
    FUZZ_CHECK(caller.outcome.value.has_value() == value.has_value(), "success told wrongly");
    if (value) FUZZ_CHECK(*caller.outcome.value == *value, "wrong response value");
    FUZZ_CHECK(caller.outcome.error == error, "wrong error text");
  }

  HostKind host_ = HostKind::kNone;
  std::vector<uint64_t> issued_;
  std::map<uint64_t, size_t> pending_;  // id -> caller
};

// A reply's bytes: L then L bytes, or the null pointer forms.
struct ReplyBytes {
  std::string bytes;
  bool null_pointer = false;
  size_t length = 0;
};

ReplyBytes ReadReplyBytes(Reader& reader) {
  const uint8_t length = reader.Byte();
  if (length == 0xFE) return {"", true, 0};
  if (length == 0xFF) return {"", true, size_t{reader.Byte()} + 1};
  ReplyBytes reply;
  reply.bytes = reader.Bytes(length);
  reply.length = reply.bytes.size();
  return reply;
}

// The host learns the two answer entries from its first call; one call before the first input
// makes them known to every input, so that an input does the same whatever ran before it.
void LearnAnswerEntries() {
  ::set_host_invoke(&HostA);
  kz::rpc::RequestSerialized("AutomationService", "Paste", google::protobuf::Empty(),
                             [](kz::rpc::SerializedResult) {});
  ::set_host_invoke(nullptr);
  FUZZ_CHECK(host_calls.size() == 1 && reject_entry != nullptr, "the host got no answer entries");
  last_id_passed = host_calls.front().id;
  reject_entry(last_id_passed, "");
  host_calls.clear();
}

void RunOne(const uint8_t* data, size_t size) {
  host_calls.clear();
  callers.clear();
  callback_runs = 0;
  synchronous_answer = {};
  input_running = true;
  Model model;
  model.SetHost(HostKind::kNone);

  Reader reader(data, size);
  while (!reader.done()) {
    switch (reader.Byte()) {
      case 'c': {
        const BridgeMethod& method = kBridgeMethods[reader.Byte() % std::size(kBridgeMethods)];
        const std::string bytes = reader.Bytes(reader.Byte());
        std::unique_ptr<google::protobuf::Message> request(method.request->New());
        if (!request->ParseFromString(bytes)) request->Clear();
        model.Call(method, *request);
        break;
      }
      case 'r': {
        const uint64_t id = model.ChooseId(reader.Byte());
        const ReplyBytes reply = ReadReplyBytes(reader);
        model.Reply(id, reply.null_pointer ? nullptr : reply.bytes.data(), reply.length);
        break;
      }
      case 'j': {
        const uint64_t id = model.ChooseId(reader.Byte());
        const uint8_t length = reader.Byte();
        const std::string text = length == 0xFF ? "" : reader.Bytes(length);
        model.Reject(id, length == 0xFF ? nullptr : text.c_str());
        break;
      }
      case 'h':
        model.SetHost(static_cast<HostKind>(reader.Byte() % 4));
        break;
      case 's': {
        synchronous_answer.mode = static_cast<AnswerMode>(reader.Byte() % 5);
        const uint8_t length = reader.Byte();
        synchronous_answer.null_length = size_t{length} + 1;
        synchronous_answer.bytes = reader.Bytes(length);
        break;
      }
      default:
        break;
    }
  }
  model.Finish();
  model.SetHost(HostKind::kNone);
  input_running = false;
}

}  // namespace
}  // namespace ondrel::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  ondrel::fuzz::SilenceProtobufLogs();
  ondrel::fuzz::LearnAnswerEntries();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ondrel::fuzz::RunOne(data, size);
  return 0;
}
