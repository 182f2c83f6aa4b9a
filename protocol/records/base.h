// What every record header needs: fixed-width integers, PString, TDatum/TCas, offsetof, and the
// one check that the host stores integers little-endian, as the record files and packets do.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "protocol/datetime.h"
#include "protocol/pstring.h"

namespace ksv {

// The records are written to disk and to the wire straight from memory; that is only right on a
// little-endian host. A big-endian port would have to serialise field by field instead.
static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

// Every record type must be copyable as plain bytes (memcpy to and from files and packets).
template <class T>
inline constexpr bool kIsRecord = std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T>;

}  // namespace ksv
