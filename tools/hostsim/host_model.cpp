#include "host_model.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace hostsim {

namespace {
std::atomic<HostModel*> installed{nullptr};
using Lock = std::lock_guard<std::recursive_mutex>;
}  // namespace

HostModel::HostModel() = default;

HostModel::~HostModel() {
    HostModel* self = this;
    installed.compare_exchange_strong(self, nullptr);
    for (auto& entry : blocks_) free(entry.first);
}

HostModel* HostModel::current() { return installed.load(); }

void HostModel::install() { installed.store(this); }

SimConnection* HostModel::findConnection(uint64 id) {
    for (auto& c : connections_)
        if (c.id == id) return &c;
    return nullptr;
}

SimConnection& HostModel::addConnection(uint64 id, const std::string& serverName,
                                        anyID ownClient) {
    Lock lock(mutex_);
    SimConnection* c = findConnection(id);
    if (!c) {
        connections_.emplace_back();
        c = &connections_.back();
        c->id = id;
    }
    c->serverName = serverName;
    c->ownClient = ownClient;
    c->status = 4;
    return *c;
}

SimConnection* HostModel::connection(uint64 id) {
    Lock lock(mutex_);
    return findConnection(id);
}

void HostModel::removeConnection(uint64 id) {
    Lock lock(mutex_);
    connections_.remove_if([id](const SimConnection& c) { return c.id == id; });
}

std::vector<uint64> HostModel::connectionIds() const {
    Lock lock(mutex_);
    std::vector<uint64> ids;
    for (const auto& c : connections_) ids.push_back(c.id);
    return ids;
}

SimChannel& HostModel::addChannel(uint64 connection, uint64 id, const std::string& name) {
    Lock lock(mutex_);
    SimConnection* c = findConnection(connection);
    if (!c) c = &addConnection(connection, "", 0);
    for (auto& ch : c->channels) {
        if (ch.id == id) {
            ch.name = name;
            return ch;
        }
    }
    c->channels.push_back(SimChannel{id, name});
    return c->channels.back();
}

SimClient& HostModel::addClient(uint64 connection, anyID id, const std::string& nickname,
                                uint64 channel) {
    Lock lock(mutex_);
    SimConnection* c = findConnection(connection);
    if (!c) c = &addConnection(connection, "", 0);
    for (auto& cl : c->clients) {
        if (cl.id == id) {
            cl.nickname = nickname;
            cl.channel = channel;
            return cl;
        }
    }
    SimClient cl;
    cl.id = id;
    cl.nickname = nickname;
    cl.channel = channel;
    c->clients.push_back(cl);
    return c->clients.back();
}

const SimClient* SimConnection::findClient(anyID id) const {
    auto known = position_.find(id);
    if (known != position_.end() && known->second < clients.size() &&
        clients[known->second].id == id)
        return &clients[known->second];
    for (size_t i = 0; i < clients.size(); ++i) {
        if (clients[i].id != id) continue;
        position_[id] = i;
        return &clients[i];
    }
    return nullptr;
}

SimClient* SimConnection::findClient(anyID id) {
    return const_cast<SimClient*>(static_cast<const SimConnection*>(this)->findClient(id));
}

SimClient* HostModel::client(uint64 connection, anyID id) {
    Lock lock(mutex_);
    SimConnection* c = findConnection(connection);
    return c ? c->findClient(id) : nullptr;
}

void HostModel::removeClient(uint64 connection, anyID id) {
    Lock lock(mutex_);
    SimConnection* c = findConnection(connection);
    if (!c) return;
    c->clients.erase(std::remove_if(c->clients.begin(), c->clients.end(),
                                    [id](const SimClient& cl) { return cl.id == id; }),
                     c->clients.end());
}

void HostModel::moveClient(uint64 connection, anyID id, uint64 channel) {
    Lock lock(mutex_);
    if (SimClient* cl = client(connection, id)) cl->channel = channel;
}

void HostModel::failNext(const std::string& function, unsigned error, int times) {
    Lock lock(mutex_);
    if (times == 0) {
        failures_.erase(function);
        return;
    }
    failures_[function] = Failure{error, times};
}

void HostModel::clearFailures() {
    Lock lock(mutex_);
    failures_.clear();
}

bool HostModel::takeFailure(const std::string& function, unsigned* error) {
    Lock lock(mutex_);
    auto it = failures_.find(function);
    if (it == failures_.end()) return false;
    *error = it->second.error;
    if (it->second.times > 0 && --it->second.times == 0) failures_.erase(it);
    return true;
}

void HostModel::queueEvent(const PendingEvent& event) {
    Lock lock(mutex_);
    if (answerRequests) pending_.push_back(event);
}

std::vector<PendingEvent> HostModel::takePendingEvents() {
    Lock lock(mutex_);
    std::vector<PendingEvent> out;
    out.swap(pending_);
    return out;
}

void HostModel::record(HostCall call) {
    Lock lock(mutex_);
    if (listener_) listener_(call);
    if (recording_) calls_.push_back(std::move(call));
}

bool HostModel::keepsCalls() const {
    Lock lock(mutex_);
    return recording_ || listener_;
}

void HostModel::setRecording(bool on) {
    Lock lock(mutex_);
    recording_ = on;
}

void HostModel::setCallListener(std::function<void(const HostCall&)> listener) {
    Lock lock(mutex_);
    listener_ = std::move(listener);
}

std::vector<HostCall> HostModel::callsSnapshot() const {
    Lock lock(mutex_);
    return calls_;
}

std::vector<HostCall> HostModel::callsTo(const std::string& function) const {
    Lock lock(mutex_);
    std::vector<HostCall> out;
    for (const auto& c : calls_)
        if (c.function == function) out.push_back(c);
    return out;
}

size_t HostModel::countCalls(const std::string& function) const {
    Lock lock(mutex_);
    return static_cast<size_t>(std::count_if(
        calls_.begin(), calls_.end(), [&](const HostCall& c) { return c.function == function; }));
}

std::vector<HostCall> HostModel::unexpectedCalls() const {
    Lock lock(mutex_);
    std::vector<HostCall> out;
    for (const auto& c : calls_)
        if (c.function.compare(0, 11, "unexpected:") == 0) out.push_back(c);
    return out;
}

void HostModel::clearCalls() {
    Lock lock(mutex_);
    calls_.clear();
}

std::string HostModel::transcript() const {
    Lock lock(mutex_);
    std::string out;
    for (const auto& c : calls_) {
        out += c.describe();
        out += '\n';
    }
    return out;
}

void* HostModel::allocBlock(const void* data, size_t bytes, const std::string& what) {
    Lock lock(mutex_);
    void* p = malloc(bytes ? bytes : 1);
    if (!p) return nullptr;
    if (bytes) memcpy(p, data, bytes);
    blocks_[p] = Block{bytes, what, false};
    ++liveBlocks_;
    return p;
}

char* HostModel::allocString(const std::string& s) {
    return static_cast<char*>(allocBlock(s.c_str(), s.size() + 1, "\"" + s + "\""));
}

unsigned HostModel::freeBlock(void* p, std::string* what) {
    Lock lock(mutex_);
    auto it = blocks_.find(p);
    if (it == blocks_.end()) {
        ++badFrees_;
        if (what) *what = p ? "unknown pointer" : "null pointer";
        return hosterror::kBadFree;
    }
    if (it->second.freed) {
        ++badFrees_;
        if (what) *what = "already freed " + it->second.what;
        return hosterror::kBadFree;
    }
    // Poisoned so that a read after the free shows as garbage, not as the
    // old value.
    memset(p, 0xDD, it->second.bytes);
    it->second.freed = true;
    --liveBlocks_;
    if (what) *what = it->second.what;
    return hosterror::kOk;
}

size_t HostModel::outstandingBlocks() const {
    Lock lock(mutex_);
    return liveBlocks_;
}

size_t HostModel::badFrees() const {
    Lock lock(mutex_);
    return badFrees_;
}

std::vector<std::string> HostModel::outstandingDescriptions() const {
    Lock lock(mutex_);
    std::vector<std::string> out;
    for (const auto& entry : blocks_)
        if (!entry.second.freed) out.push_back(entry.second.what);
    std::sort(out.begin(), out.end());  // addresses vary from run to run
    return out;
}

int HostModel::menuEnabled(int menuId) const {
    Lock lock(mutex_);
    auto it = menuEnabled_.find(menuId);
    return it == menuEnabled_.end() ? -1 : (it->second ? 1 : 0);
}

void HostModel::setMenuEnabled(int menuId, bool enabled) {
    Lock lock(mutex_);
    menuEnabled_[menuId] = enabled;
}

void HostModel::bindHotkey(const std::string& keyword, const std::string& key) {
    Lock lock(mutex_);
    hotkeyBindings_[keyword] = key;
}

std::string HostModel::hotkeyBinding(const std::string& keyword) const {
    Lock lock(mutex_);
    auto it = hotkeyBindings_.find(keyword);
    return it == hotkeyBindings_.end() ? std::string() : it->second;
}

}  // namespace hostsim
