// The device profile and the platform name the scene set-up chooses its layout by.
#include "golf/device_profile.h"

namespace tarnby {

DeviceProfile& deviceProfile()
{
    static DeviceProfile profile;
    return profile;
}

Ref<String> platformName() { return String::intern(deviceProfile().isPocketPC ? "PocketPC" : "Smartphone"); }

}  // namespace tarnby
