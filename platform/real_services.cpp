#include "platform/real_services.h"

namespace p95 {

Services RealServices::services() {
    return Services{fileDialog, messages, input, audio, pictures, clipboard, clock};
}

} // namespace p95
