"""The release zip as a user unpacks it: the packer runs on this build's executables
into a temporary folder, and the result is read back.

Inputs from the environment (set by ctest): TALVOREN_GUI_EXE, TALVOREN_DRIVER_EXE,
TALVOREN_RELEASE_NAME, TALVOREN_PACKER (make_release_zip.py), TALVOREN_GUIDE.
"""
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

# Everything a run or the window can show; the guide explains each of them.
USER_MESSAGES = [
    "変換が完了しました。",
    "変換元に指定したフォルダーには該当するファイルがありませんでした。",
    "変換元と変換先のフォルダーに同一の場所を指定することは出来ません",
    "変換元が指定されていません！",
    "変換先が指定されていません！",
    "変換元のフォルダーを読み取れません。",
    "変換中に問題が発生しました。",
    "変換元ファイル：",
    "変換先ファイル：",
    "エラー内容：",
]
STORED_FILES = ["Talvoren.exe", "talvoren-convert.exe", "Talvoren-guide-ja.txt"]


class ReleaseZipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.name = os.environ["TALVOREN_RELEASE_NAME"]
        cls.gui_exe = os.environ["TALVOREN_GUI_EXE"]
        cls.driver_exe = os.environ["TALVOREN_DRIVER_EXE"]
        printed = subprocess.run(
            [sys.executable, os.environ["TALVOREN_PACKER"], cls.name, cls.folder.name,
             cls.gui_exe, cls.driver_exe, os.environ["TALVOREN_GUIDE"]],
            check=True, capture_output=True, text=True).stdout
        cls.path = printed.strip()
        cls.archive = zipfile.ZipFile(cls.path)

    @classmethod
    def tearDownClass(cls):
        cls.archive.close()
        cls.folder.cleanup()

    def read(self, stored):
        return self.archive.read(f"{self.name}/{stored}")

    def guide(self):
        return self.read("Talvoren-guide-ja.txt")

    def test_named_for_the_build_version_with_its_checksum_and_nothing_else_beside_it(self):
        self.assertEqual(self.path, os.path.join(self.folder.name, self.name + ".zip"))
        self.assertEqual(sorted(os.listdir(self.folder.name)), [self.name + ".zip", self.name + ".zip.sha256"])
        with open(self.path, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        with open(self.path + ".sha256", encoding="ascii") as f:
            self.assertEqual(f.read(), f"{digest}  {self.name}.zip\n")

    def test_holds_one_folder_with_the_two_programs_and_the_guide(self):
        self.assertIsNone(self.archive.testzip())
        self.assertEqual(sorted(self.archive.namelist()),
                         sorted(f"{self.name}/{stored}" for stored in STORED_FILES))
        for stored, built in (("Talvoren.exe", self.gui_exe), ("talvoren-convert.exe", self.driver_exe)):
            with self.subTest(stored=stored), open(built, "rb") as f:
                self.assertEqual(self.read(stored), f.read())

    def test_guide_opens_in_notepad_as_utf8_with_windows_line_ends(self):
        data = self.guide()
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"), "byte order mark")
        data.decode("utf-8")
        self.assertGreater(data.count(b"\r\n"), 50)
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), "a line end without CR")
        self.assertEqual(data.count(b"\r"), data.count(b"\r\n"), "a CR without LF")

    def test_guide_explains_every_message_and_names_every_file(self):
        text = self.guide().decode("utf-8")
        for quoted in USER_MESSAGES + STORED_FILES:
            with self.subTest(text=quoted):
                self.assertTrue(quoted in text, f"the guide never mentions {quoted}")


if __name__ == "__main__":
    unittest.main()
