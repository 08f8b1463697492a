#include "link/PortList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A sysfs tree in a temporary folder, linked the way the kernel links it:
// class entries and `device`, `driver` and `subsystem` are relative symlinks.
class FakeSysfs {
public:
    FakeSysfs()
        : root_(fs::temp_directory_path() /
                ("px520-sysfs-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(root_ / "class/tty");
        fs::create_directories(root_ / "dev");
    }
    ~FakeSysfs() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    fs::path classTty() const { return root_ / "class/tty"; }
    fs::path dev() const { return root_ / "dev"; }

    void usbSerial(const std::string& tty, const std::string& usbDevice, const std::string& product,
                   const std::string& manufacturer) {
        const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/" + usbDevice;
        usbDeviceFiles(usb, product, manufacturer);
        const std::string interface = usb + "/" + usbDevice + ":1.0";
        bind(interface, "usb", "ftdi_sio");
        const std::string port = interface + "/" + tty;
        bind(port, "usb-serial", "ftdi_sio");
        classDevice(tty, port + "/tty/" + tty, port);
    }

    void cdcAcm(const std::string& tty, const std::string& usbDevice, const std::string& product) {
        const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/" + usbDevice;
        usbDeviceFiles(usb, product, "Raspberry Pi");
        const std::string interface = usb + "/" + usbDevice + ":1.0";
        bind(interface, "usb", "cdc_acm");
        classDevice(tty, interface + "/tty/" + tty, interface);
    }

    // Since kernel 6.5 a serial-base port device sits between the tty and
    // its controller; before, the tty's device is the controller itself.
    void uart8250(const std::string& tty, const char* type, bool portLayer) {
        const std::string controller = "devices/platform/serial8250";
        bind(controller, "platform", "serial8250");
        std::string device = controller;
        if (portLayer) {
            device = controller + "/serial8250:0/serial8250:0." + tty.substr(4);
            bind(device, "serial-base", "port");
        }
        const std::string classDir = device + "/tty/" + tty;
        classDevice(tty, classDir, device);
        if (type != nullptr) {
            write(classDir + "/type", type);
        }
    }

    void virtualTty(const std::string& tty) {
        fs::create_directories(root_ / "devices/virtual/tty" / tty);
        link("class/tty/" + tty, "devices/virtual/tty/" + tty);
    }

private:
    void write(const std::string& file, const std::string& text) {
        fs::create_directories((root_ / file).parent_path());
        std::ofstream(root_ / file) << text << '\n';
    }

    void link(const std::string& from, const std::string& to) {
        const fs::path at = root_ / from;
        fs::create_directories(at.parent_path());
        fs::create_directories(root_ / to);
        fs::create_symlink(fs::relative(root_ / to, at.parent_path()), at);
    }

    void bind(const std::string& device, const std::string& subsystem, const std::string& driver) {
        fs::create_directories(root_ / device);
        if (!fs::exists(fs::symlink_status(root_ / device / "subsystem"))) {
            link(device + "/subsystem", "bus/" + subsystem);
            link(device + "/driver", "bus/" + subsystem + "/drivers/" + driver);
        }
    }

    void usbDeviceFiles(const std::string& usb, const std::string& product,
                        const std::string& manufacturer) {
        bind(usb, "usb", "usb");
        write(usb + "/idVendor", "0403");
        write(usb + "/idProduct", "6001");
        if (!product.empty()) {
            write(usb + "/product", product);
        }
        if (!manufacturer.empty()) {
            write(usb + "/manufacturer", manufacturer);
        }
    }

    void classDevice(const std::string& tty, const std::string& classDir,
                     const std::string& device) {
        fs::create_directories(root_ / classDir);
        link(classDir + "/device", device);
        link("class/tty/" + tty, classDir);
    }

    fs::path root_;
};

std::vector<std::pair<std::string, std::string>> entries(const std::vector<SerialPortInfo>& ports) {
    std::vector<std::pair<std::string, std::string>> list;
    for (const auto& port : ports) {
        list.emplace_back(port.name, port.description);
    }
    return list;
}

TEST(PortList, ListsRealPortsInNaturalOrderWithTheirDescriptions) {
    FakeSysfs sysfs;
    sysfs.virtualTty("tty0");
    sysfs.virtualTty("ptmx");
    sysfs.uart8250("ttyS0", "4", true);
    sysfs.uart8250("ttyS1", "0", true);
    sysfs.uart8250("ttyS2", "4", true);
    sysfs.uart8250("ttyS10", "4", false);
    sysfs.uart8250("ttyS11", "0", false);
    // No type file and no device node to ask: it may be real, so it stays.
    sysfs.uart8250("ttyS3", nullptr, true);
    sysfs.usbSerial("ttyUSB10", "1-3", "CP2102 USB to UART Bridge Controller", "Silicon Labs");
    sysfs.usbSerial("ttyUSB2", "1-1", "FT232R USB UART", "FTDI");
    sysfs.cdcAcm("ttyACM0", "1-2", "Pico");

    const std::vector<std::pair<std::string, std::string>> expected{
        {"ttyACM0", "Pico (ttyACM0)"},
        {"ttyS0", "Communications Port (ttyS0)"},
        {"ttyS2", "Communications Port (ttyS2)"},
        {"ttyS3", "Communications Port (ttyS3)"},
        {"ttyS10", "Communications Port (ttyS10)"},
        {"ttyUSB2", "FT232R USB UART (ttyUSB2)"},
        {"ttyUSB10", "CP2102 USB to UART Bridge Controller (ttyUSB10)"},
    };
    EXPECT_EQ(entries(listCommPorts(sysfs.classTty(), sysfs.dev())), expected);
}

// Only a type the driver reported as unknown marks a phantom port; a type
// file that holds no readable number leaves the port in the list.
TEST(PortList, UnreadablePortTypeKeepsThePort) {
    FakeSysfs sysfs;
    sysfs.uart8250("ttyS0", "99999999999", true);
    sysfs.uart8250("ttyS1", "-1", true);
    sysfs.uart8250("ttyS2", "4x", true);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"ttyS0", "Communications Port (ttyS0)"},
        {"ttyS1", "Communications Port (ttyS1)"},
        {"ttyS2", "Communications Port (ttyS2)"},
    };
    EXPECT_EQ(entries(listCommPorts(sysfs.classTty(), sysfs.dev())), expected);
}

TEST(PortList, UsbDescriptionFallsBackToManufacturerThenAPlainName) {
    FakeSysfs sysfs;
    sysfs.usbSerial("ttyUSB0", "1-1", "", "Prolific Technology Inc.");
    sysfs.usbSerial("ttyUSB1", "1-2", "", "");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"ttyUSB0", "Prolific Technology Inc. (ttyUSB0)"},
        {"ttyUSB1", "USB Serial Port (ttyUSB1)"},
    };
    EXPECT_EQ(entries(listCommPorts(sysfs.classTty(), sysfs.dev())), expected);
}

TEST(PortList, WithoutRealPortsOffersSixteenNames) {
    FakeSysfs sysfs;
    sysfs.virtualTty("tty1");
    sysfs.uart8250("ttyS0", "0", true);
    sysfs.uart8250("ttyS1", "0", false);
    for (const fs::path& root : {sysfs.classTty(), sysfs.classTty() / "missing"}) {
        SCOPED_TRACE(root);
        const auto ports = listCommPorts(root, sysfs.dev());
        ASSERT_EQ(ports.size(), 16U);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            EXPECT_EQ(ports[i].name, "ttyS" + std::to_string(i));
            EXPECT_EQ(ports[i].description, "");
        }
    }
}

} // namespace
