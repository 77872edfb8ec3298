#pragma once
// Status codes of operations that can fail: 0 for success, negative for a
// failure, with the same values the Windows design used.

#include <cstdint>

namespace pw {

using Status = int32_t;

constexpr Status kOk = 0;
constexpr Status kInvalidArgument = static_cast<Status>(0x80070057u);
constexpr Status kFailed = static_cast<Status>(0x80004005u);
constexpr Status kNotFound = static_cast<Status>(0x80040903u);

inline bool succeeded(Status s) { return s >= 0; }

}  // namespace pw
