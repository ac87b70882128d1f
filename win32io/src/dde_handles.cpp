#include "win32io/dde_handles.h"

#include <array>
#include <mutex>
#include <utility>

#include "base/failure.h"

namespace win32io {

namespace {

// Live instances of the process: a few links, a few servers and instances waiting to be ended.
constexpr std::size_t kSlots = 32;

std::mutex& SlotMutex() {
    static std::mutex mutex;
    return mutex;
}

std::array<DdeInstance*, kSlots>& Slots() {
    static std::array<DdeInstance*, kSlots> slots{};
    return slots;
}

template <std::size_t N>
HDDEDATA CALLBACK Route(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                        ULONG_PTR data1, ULONG_PTR data2) {
    // A slot is only ever written by the thread of its instance, which is this one.
    DdeInstance* owner = Slots()[N];
    if (!owner) return nullptr;
    return owner->Dispatch({type, format, conv, hsz1, hsz2, data, data1, data2});
}

template <std::size_t... N>
constexpr std::array<PFNCALLBACK, kSlots> MakeRoutes(std::index_sequence<N...>) {
    return {&Route<N>...};
}
constexpr std::array<PFNCALLBACK, kSlots> kRoutes = MakeRoutes(std::make_index_sequence<kSlots>{});

std::size_t TakeSlot(DdeInstance* owner) {
    std::lock_guard lock(SlotMutex());
    for (std::size_t i = 0; i < kSlots; ++i)
        if (!Slots()[i]) {
            Slots()[i] = owner;
            return i;
        }
    throw base::Failure("Too many DDE conversations");
}

void FreeSlot(std::size_t slot) {
    std::lock_guard lock(SlotMutex());
    Slots()[slot] = nullptr;
}

}  // namespace

DdeInstance::DdeInstance(DdeHandler handler, DWORD flags)
    : handler_(std::move(handler)), slot_(TakeSlot(this)) {
    const UINT error = DdeInitializeA(&id_, kRoutes[slot_], flags, 0);
    if (error != DMLERR_NO_ERROR) {
        FreeSlot(slot_);
        throw base::Failure("DDE could not be started (DDEML error " + std::to_string(error) + ")");
    }
}

DdeInstance::~DdeInstance() {
    Detach();
    DdeUninitialize(id_);
    FreeSlot(slot_);
}

HDDEDATA DdeInstance::Dispatch(const DdeCall& call) noexcept {
    if (!handler_) return nullptr;
    try {
        return handler_(call);
    } catch (...) {
        return nullptr;
    }
}

DdeString::DdeString(const DdeInstance& instance, const std::string& text)
    : instance_(instance.Id()), hsz_(DdeCreateStringHandleA(instance_, text.c_str(), CP_WINANSI)) {
    if (!hsz_) throw base::Failure("Invalid DDE name: " + text);
}

DdeString::~DdeString() {
    DdeFreeStringHandle(instance_, hsz_);
}

DdeConversation::~DdeConversation() {
    DdeDisconnect(conv_);
}

std::optional<CONVINFO> ConversationInfo(HCONV conv) {
    CONVINFO info{};
    info.cb = sizeof info;
    if (!DdeQueryConvInfo(conv, QID_SYNC, &info)) return std::nullopt;
    return info;
}

std::string DdeStringText(DWORD instance, HSZ hsz) {
    if (!hsz) return {};
    const DWORD length = DdeQueryStringA(instance, hsz, nullptr, 0, CP_WINANSI);
    std::string text(length + 1, '\0');
    DdeQueryStringA(instance, hsz, text.data(), length + 1, CP_WINANSI);
    text.resize(length);
    return text;
}

std::string DdeDataText(HDDEDATA data) {
    if (!data) return {};
    DWORD size = 0;
    const BYTE* bytes = DdeAccessData(data, &size);
    if (!bytes) return {};
    std::string text(reinterpret_cast<const char*>(bytes), size);
    DdeUnaccessData(data);
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

std::string DdeErrorText(UINT error) {
    switch (error) {
        case DMLERR_NO_CONV_ESTABLISHED:
            return "No foreign application responded to a DDE initiate";
        case DMLERR_ADVACKTIMEOUT:
        case DMLERR_POKEACKTIMEOUT:
        case DMLERR_DATAACKTIMEOUT:
        case DMLERR_EXECACKTIMEOUT:
        case DMLERR_UNADVACKTIMEOUT:
            return "Timeout while waiting for DDE response";
        case DMLERR_BUSY:
            return "Destination is busy";
        case DMLERR_NOTPROCESSED:
            return "Foreign application won't perform DDE method or operation";
        case DMLERR_INVALIDPARAMETER:
        case DMLERR_SERVER_DIED:
            return "DDE conversation closed or changed";
        default:
            return "DDE failed (DDEML error " + std::to_string(error) + ")";
    }
}

}  // namespace win32io
