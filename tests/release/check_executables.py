"""Static inspection of the built Windows executables: what a user's Windows will see.

What the loader and Explorer read before any code runs is checked in the files
themselves: machine, subsystem, imports, version block, icon group, Image1's
picture and the manifests. Inputs come from the environment (set by ctest):
  TALVOREN_GUI_EXE, TALVOREN_DRIVER_EXE  the two executables
  TALVOREN_MACHINE                       i386 or amd64
  TALVOREN_VERSION                       major.minor.revision from the build
"""
import os
import struct
import unittest
import xml.etree.ElementTree as ElementTree

import pefile

RT_ICON, RT_BITMAP, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 14, 16, 24
LANG_NEUTRAL, LANG_JAPANESE = 0x0000, 0x0411

MACHINES = {
    "i386": (pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"], pefile.OPTIONAL_HEADER_MAGIC_PE),
    "amd64": (pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS),
}

# DLLs every Windows installation carries; anything else would have to ship
# beside the executable, which the release never does.
WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
    "shell32.dll", "shlwapi.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll",
    "msvcrt.dll", "uxtheme.dll", "version.dll", "ntdll.dll", "bcrypt.dll",
}

# (width, bits per pixel, resource identifier) of the icon images, in group order.
ICON_IMAGES = [(32, 1, 30001), (32, 4, 30002), (16, 4, 30003)]
PICTURE_SIDE, PICTURE_BITS, PICTURE_ID = 208, 24, 101

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
WINDOWS_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"


def load(variable):
    path = os.environ[variable]
    if not os.path.isfile(path):
        raise AssertionError(f"{path} is not built")
    return pefile.PE(path)


def build_version():
    major, minor, revision = (int(part) for part in os.environ["TALVOREN_VERSION"].split("."))
    return major, minor, revision


def resources(pe, type_id):
    """{(identifier, language): bytes} of one resource type."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if type_entry.id != type_id:
            continue
        for name_entry in type_entry.directory.entries:
            for lang_entry in name_entry.directory.entries:
                entry = lang_entry.data.struct
                found[(name_entry.id, lang_entry.id)] = pe.get_data(entry.OffsetToData, entry.Size)
    return found


def only_resource(pe, type_id, ident, language):
    """The data of the one resource of a type, which must have this identifier and language."""
    found = resources(pe, type_id)
    if list(found) != [(ident, language)]:
        raise AssertionError(f"resources of type {type_id}: {list(found)}, "
                             f"expected only {[(ident, language)]}")
    return found[(ident, language)]


def bitmap_header(data):
    fields = ("size", "width", "height", "planes", "bits", "compression", "image_size")
    return dict(zip(fields, struct.unpack_from("<IiiHHII", data)))


def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


class GuiExecutable(unittest.TestCase):
    """Talvoren.exe: the program a user starts."""

    @classmethod
    def setUpClass(cls):
        cls.pe = load("TALVOREN_GUI_EXE")


class HeaderTest(unittest.TestCase):
    def check(self, variable, subsystem):
        pe = load(variable)
        machine, magic = MACHINES[os.environ["TALVOREN_MACHINE"]]
        self.assertEqual(pe.FILE_HEADER.Machine, machine)
        self.assertEqual(pe.OPTIONAL_HEADER.Magic, magic)
        self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, pefile.SUBSYSTEM_TYPE[subsystem])
        # Address randomisation and no-execute data, as Windows expects of a current program.
        characteristics = pe.OPTIONAL_HEADER.DllCharacteristics
        for flag in ("IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE", "IMAGE_DLLCHARACTERISTICS_NX_COMPAT"):
            self.assertTrue(characteristics & pefile.DLL_CHARACTERISTICS[flag], flag)

    def test_program_is_a_windowed_program_for_the_target_machine(self):
        self.check("TALVOREN_GUI_EXE", "IMAGE_SUBSYSTEM_WINDOWS_GUI")

    def test_driver_is_a_console_program_for_the_target_machine(self):
        self.check("TALVOREN_DRIVER_EXE", "IMAGE_SUBSYSTEM_WINDOWS_CUI")


class ImportTest(unittest.TestCase):
    def check(self, variable):
        pe = load(variable)
        imported = {entry.dll.decode("ascii").lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
        delayed = getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
        imported |= {entry.dll.decode("ascii").lower() for entry in delayed}
        self.assertIn("kernel32.dll", imported)
        self.assertEqual(imported - WINDOWS_DLLS, set(), "DLLs that Windows does not carry")

    def test_program_needs_only_windows_own_dlls(self):
        self.check("TALVOREN_GUI_EXE")

    def test_driver_needs_only_windows_own_dlls(self):
        self.check("TALVOREN_DRIVER_EXE")


class VersionResourceTest(GuiExecutable):
    def test_single_japanese_version_block(self):
        only_resource(self.pe, RT_VERSION, 1, LANG_JAPANESE)

    def test_fixed_part(self):
        major, minor, revision = build_version()
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        number = ((major << 16) | minor, revision)  # major.minor.0.revision
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), number)
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), number)
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0, 0))
        self.assertEqual(fixed.FileOS, 0x4)  # VOS__WINDOWS32
        self.assertEqual(fixed.FileType, 0x1)  # VFT_APP
        self.assertEqual(fixed.FileSubtype, 0)
        self.assertEqual((fixed.FileDateMS, fixed.FileDateLS), (0, 0))

    def test_string_table_holds_exactly_the_six_entries_in_order(self):
        major, minor, revision = build_version()
        text = f"{major}.{minor:02d}.{revision:04d}"
        expected = [
            ("CompanyName", "Talvoren Developers"),
            ("ProductName", "Talvoren"),
            ("FileVersion", text),
            ("ProductVersion", text),
            ("InternalName", "Talvoren"),
            ("OriginalFilename", "Talvoren.exe"),
        ]
        infos = {info.Key: info for info in self.pe.FileInfo[0]}
        tables = infos[b"StringFileInfo"].StringTable
        self.assertEqual([table.LangID for table in tables], [b"041104B0"])
        entries = [(key.decode(), value.decode()) for key, value in tables[0].entries.items()]
        self.assertEqual(entries, expected)

    def test_one_translation_japanese_unicode(self):
        infos = {info.Key: info for info in self.pe.FileInfo[0]}
        variables = [var.entry for var in infos[b"VarFileInfo"].Var]
        self.assertEqual(variables, [{b"Translation": "0x0411 0x04b0"}])


class IconGroupTest(GuiExecutable):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.images = resources(cls.pe, RT_ICON)

    def group_entries(self):
        data = only_resource(self.pe, RT_GROUP_ICON, 1, LANG_NEUTRAL)
        reserved, kind, count = struct.unpack_from("<HHH", data)
        self.assertEqual((reserved, kind, count), (0, 1, len(ICON_IMAGES)))
        self.assertEqual(len(data), 6 + 14 * count)
        return [struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i) for i in range(count)]

    def test_group_lists_three_images_in_order(self):
        listed = [(w, h, colours, planes, bits, ident)
                  for w, h, colours, _, planes, bits, _, ident in self.group_entries()]
        expected = [(side, side, 1 << bits, 1, bits, ident) for side, bits, ident in ICON_IMAGES]
        self.assertEqual(listed, expected)

    def test_images_are_language_neutral_and_only_these(self):
        self.assertEqual(sorted(self.images),
                         [(ident, LANG_NEUTRAL) for _, _, ident in ICON_IMAGES])

    def test_each_image_is_a_whole_icon_bitmap_of_its_size(self):
        for (side, bits, ident), entry in zip(ICON_IMAGES, self.group_entries()):
            with self.subTest(image=ident):
                data = self.images[(ident, LANG_NEUTRAL)]
                header = bitmap_header(data)
                self.assertEqual((header["size"], header["width"], header["height"]),
                                 (40, side, 2 * side))  # colour rows and mask rows
                self.assertEqual((header["planes"], header["bits"], header["compression"]),
                                 (1, bits, 0))
                expected = 40 + 4 * (1 << bits) + side * (row_bytes(side, bits) + row_bytes(side, 1))
                self.assertEqual(len(data), expected)
                self.assertEqual(entry[6], len(data), "size in the group directory")

    def test_mask_leaves_a_shape_on_a_transparent_ground(self):
        for side, bits, ident in ICON_IMAGES:
            with self.subTest(image=ident):
                data = self.images[(ident, LANG_NEUTRAL)]
                colour_start = 40 + 4 * (1 << bits)
                mask_start = colour_start + side * row_bytes(side, bits)
                mask = [(data[mask_start + y * row_bytes(side, 1) + x // 8] >> (7 - x % 8)) & 1
                        for y in range(side) for x in range(side)]
                self.assertIn(0, mask, "no opaque pixel")
                self.assertIn(1, mask, "no transparent pixel")
                # A transparent pixel must have colour index 0 (black), or Windows
                # inverts the screen beneath it.
                for y in range(side):
                    for x in range(side):
                        if mask[y * side + x]:
                            bit = x * bits
                            byte = data[colour_start + y * row_bytes(side, bits) + bit // 8]
                            index = (byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
                            self.assertEqual(index, 0, f"transparent pixel {x},{y}")


class PictureTest(GuiExecutable):
    def test_image1_is_a_208_square_uncompressed_24_bit_bottom_up_dib(self):
        data = only_resource(self.pe, RT_BITMAP, PICTURE_ID, LANG_NEUTRAL)
        header = bitmap_header(data)
        pixel_bytes = PICTURE_SIDE * row_bytes(PICTURE_SIDE, PICTURE_BITS)
        self.assertEqual(pixel_bytes, 129792)
        self.assertEqual(header, {"size": 40, "width": PICTURE_SIDE, "height": PICTURE_SIDE,
                                  "planes": 1, "bits": PICTURE_BITS, "compression": 0,
                                  "image_size": pixel_bytes})
        self.assertEqual(len(data), 40 + pixel_bytes, "header and pixels, no palette")
        self.assertGreater(len(set(data[40:].hex(":", 3).split(":"))), 8, "a picture, not a fill")


class ManifestTest(unittest.TestCase):
    """Both executables declare who they are, the invoker's rights, long paths
    and the supported Windows versions; the windowed program also asks for
    common controls 6 and per-monitor DPI."""

    @classmethod
    def setUpClass(cls):
        cls.manifests = {
            name: ElementTree.fromstring(only_resource(load(variable), RT_MANIFEST, 1, LANG_NEUTRAL))
            for variable, name in (("TALVOREN_GUI_EXE", "Talvoren"), ("TALVOREN_DRIVER_EXE", "talvoren-convert"))
        }
        cls.gui = cls.manifests["Talvoren"]

    def test_identity_carries_the_build_version(self):
        major, minor, revision = build_version()
        for name, manifest in self.manifests.items():
            with self.subTest(name):
                identity = manifest.find(ASM_V1 + "assemblyIdentity")
                self.assertEqual(identity.get("name"), name)
                self.assertEqual(identity.get("version"), f"{major}.{minor}.0.{revision}")

    def test_runs_as_invoker(self):
        for name, manifest in self.manifests.items():
            with self.subTest(name):
                level = manifest.find(f"{ASM_V3}trustInfo/{ASM_V3}security/"
                                      f"{ASM_V3}requestedPrivileges/{ASM_V3}requestedExecutionLevel")
                self.assertEqual((level.get("level"), level.get("uiAccess")), ("asInvoker", "false"))

    def test_long_path_awareness(self):
        for name, manifest in self.manifests.items():
            with self.subTest(name):
                settings = manifest.find(f"{ASM_V3}application/{ASM_V3}windowsSettings")
                self.assertEqual(settings.findtext(WS2016 + "longPathAware").strip(), "true")

    def test_supported_windows_versions(self):
        for name, manifest in self.manifests.items():
            with self.subTest(name):
                ids = [os_.get("Id") for os_ in manifest.findall(
                    f"{COMPAT}compatibility/{COMPAT}application/{COMPAT}supportedOS")]
                self.assertIn(WINDOWS_7, ids)
                self.assertIn(WINDOWS_10, ids)

    def test_program_uses_common_controls_6(self):
        identities = self.gui.findall(
            f"{ASM_V1}dependency/{ASM_V1}dependentAssembly/{ASM_V1}assemblyIdentity")
        controls = [(i.get("version"), i.get("publicKeyToken")) for i in identities
                    if i.get("name") == "Microsoft.Windows.Common-Controls"]
        self.assertEqual(controls, [("6.0.0.0", "6595b64144ccf1df")])

    def test_program_is_per_monitor_dpi_aware(self):
        settings = self.gui.find(f"{ASM_V3}application/{ASM_V3}windowsSettings")
        awareness = [part.strip() for part in settings.findtext(WS2016 + "dpiAwareness").split(",")]
        self.assertEqual(awareness[0], "PerMonitorV2")
        self.assertEqual(settings.findtext(WS2005 + "dpiAware").strip(), "true/pm")


if __name__ == "__main__":
    unittest.main()
