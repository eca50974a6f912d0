#pragma once
// Sends every call of a function in this process to a hook, by writing a jump over the
// function's first bytes. The original bytes come back while a Suspension lives and when
// the patch is destroyed.
#include <array>
#include <cstdint>
#include <mutex>

namespace orvixhost {

class EntryPatch {
public:
#ifdef _WIN64
    static constexpr size_t kSize = 12;  // mov rax, imm64; jmp rax
#else
    static constexpr size_t kSize = 5;  // jmp rel32
#endif

    EntryPatch(void* target, const void* hook);
    EntryPatch(const EntryPatch&) = delete;
    EntryPatch& operator=(const EntryPatch&) = delete;
    ~EntryPatch();

    bool applied() const { return applied_; }
    // The patched function; call it only while suspended.
    void* target() const { return target_; }

    class Suspension {
    public:
        explicit Suspension(EntryPatch& patch) : patch_(patch) { patch_.suspend(); }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;
        ~Suspension() { patch_.resume(); }

    private:
        EntryPatch& patch_;
    };

private:
    void suspend();
    void resume();
    bool write(const std::array<std::uint8_t, kSize>& bytes);

    std::uint8_t* target_;
    std::array<std::uint8_t, kSize> original_{};
    std::array<std::uint8_t, kSize> jump_{};
    bool applied_ = false;
    int suspended_ = 0;
    std::mutex lock_;
};

} // namespace orvixhost
