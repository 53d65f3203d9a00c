// Fuzzes the decoder of the datagrams that running copies send each other. Besides running
// clean under the sanitizers, every input must keep these promises: a datagram is accepted only
// when it is exactly the encoding of the values it yields (so nothing but the one format gets
// through, and nothing is lost or invented on the way), and a refused datagram leaves the
// result untouched.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tests/fuzz/fuzz_require.h"
#include "ui/interlink/broadcast_message.h"

namespace {

using wintarvo::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wintarvo;
    const BroadcastMessage untouched{0xA5A5A5A5, 0x5A5A5A5A};
    BroadcastMessage message = untouched;
    if (decodeBroadcastMessage(data, size, message)) {
        const BroadcastDatagram again = encodeBroadcastMessage(message);
        require(size == again.size() && std::memcmp(data, again.data(), size) == 0);
    } else {
        require(message == untouched);
    }
    return 0;
}
