#include "link/PortList.h"

#include "link/ComPortNames.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <windows.h>

#include <setupapi.h>

namespace {

// The setup class of COM and LPT ports, {4D36E978-E325-11CE-BFC1-08002BE10318}.
constexpr GUID kPortsClass{
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr DWORD kNameBufferSize = 261;

struct DeviceSetDeleter {
    void operator()(void* set) const { SetupDiDestroyDeviceInfoList(set); }
};
using DeviceSet = std::unique_ptr<std::remove_pointer_t<HDEVINFO>, DeviceSetDeleter>;

} // namespace

std::vector<SerialPortInfo> listCommPorts() {
    std::vector<std::string> friendlyNames;
    const HDEVINFO found = SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (found != INVALID_HANDLE_VALUE) {
        const DeviceSet devices(found);
        SP_DEVINFO_DATA device{};
        for (DWORD index = 0;; ++index) {
            device.cbSize = sizeof device;
            if (!SetupDiEnumDeviceInfo(devices.get(), index, &device)) {
                break;
            }
            BYTE name[kNameBufferSize] = {};
            if (SetupDiGetDeviceRegistryPropertyA(devices.get(), &device, SPDRP_FRIENDLYNAME,
                                                  nullptr, name, sizeof name - 1, nullptr)) {
                friendlyNames.emplace_back(reinterpret_cast<const char*>(name));
            }
        }
    }
    return comPortsFromFriendlyNames(friendlyNames);
}
