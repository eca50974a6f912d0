#include "entry_patch.h"

#include <windows.h>

#include <cstring>

namespace orvixhost {

EntryPatch::EntryPatch(void* target, const void* hook) : target_(static_cast<std::uint8_t*>(target)) {
    if (!target_ || !hook) return;
    std::memcpy(original_.data(), target_, kSize);
#ifdef _WIN64
    const auto address = reinterpret_cast<std::uint64_t>(hook);
    jump_[0] = 0x48;  // mov rax, imm64
    jump_[1] = 0xB8;
    std::memcpy(&jump_[2], &address, sizeof address);
    jump_[10] = 0xFF;  // jmp rax
    jump_[11] = 0xE0;
#else
    const auto offset = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hook) -
                                                  reinterpret_cast<std::intptr_t>(target_ + kSize));
    jump_[0] = 0xE9;  // jmp rel32
    std::memcpy(&jump_[1], &offset, sizeof offset);
#endif
    applied_ = write(jump_);
}

EntryPatch::~EntryPatch() {
    if (applied_) write(original_);
}

void EntryPatch::suspend() {
    const std::scoped_lock guard(lock_);
    if (applied_ && suspended_++ == 0) write(original_);
}

void EntryPatch::resume() {
    const std::scoped_lock guard(lock_);
    if (applied_ && --suspended_ == 0) write(jump_);
}

bool EntryPatch::write(const std::array<std::uint8_t, kSize>& bytes) {
    DWORD old = 0;
    if (!VirtualProtect(target_, kSize, PAGE_EXECUTE_READWRITE, &old)) return false;
    std::memcpy(target_, bytes.data(), kSize);
    VirtualProtect(target_, kSize, old, &old);
    FlushInstructionCache(GetCurrentProcess(), target_, kSize);
    return true;
}

} // namespace orvixhost
