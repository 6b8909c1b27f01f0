// Process-wide objects that own one hidden window for many users (all timers share one, all
// tray icons another): made by the first user, counted, destroyed with the last. Whatever
// still exists when the program ends is destroyed then.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace quaff::win {

// Holder needs a default constructor and an unsigned `references` member.
template <typename Holder>
class SharedHolder {
public:
    static Holder* Get() { return slot().instance; }

    static Holder& Acquire() {
        Holder*& p = slot().instance;
        if (!p) p = new Holder();
        ++p->references;
        return *p;
    }

    // A holder destroyed here may be the one whose window is handling the current message;
    // callers touch nothing of it after user code has run, so that is safe.
    static void Release() {
        Holder*& p = slot().instance;
        if (!p) return;
        if (p->references > 0) --p->references;
        if (p->references == 0) {
            Holder* gone = p;
            p = nullptr;
            delete gone;
        }
    }

private:
    struct Slot {
        Holder* instance = nullptr;
        ~Slot() {
            delete instance;
            instance = nullptr;
        }
    };
    static Slot& slot() {
        static Slot s;
        return s;
    }
};

// Small numbers standing for live objects, for identities that travel through 32-bit
// message fields. Numbers are handed out in rising order and not reused until they wrap,
// so a message still queued for an object that is gone finds nothing.
template <typename T>
class IdentityTable {
public:
    std::uint32_t Add(T* object) {
        do {
            if (++next_ == 0) next_ = 1;
        } while (live_.count(next_) != 0);
        live_[next_] = object;
        return next_;
    }
    void Remove(std::uint32_t id) { live_.erase(id); }
    T* Find(std::uint32_t id) const {
        auto it = live_.find(id);
        return it == live_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::uint32_t, T*> live_;
    std::uint32_t next_ = 0;
};

}  // namespace quaff::win
