// kx3816-cli decode, run as a program: JSON per frame, the decimal symbol option, bad lines.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CliRun {
  int status = -1;
  std::vector<std::string> lines;  // standard output
  std::string err;
};

// Runs the command with `input` on standard input.
CliRun runCli(const std::string& args, const std::string& input) {
  const std::string in = testing::TempDir() + "kx_decode_in.txt";
  const std::string err = testing::TempDir() + "kx_decode_err.txt";
  std::ofstream(in, std::ios::binary) << input;
  const std::string cmd = std::string(KX_CLI) + " decode " + args + " <" + in + " 2>" + err;
  CliRun run;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return run;
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = pclose(p);
  run.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  std::ifstream e(err, std::ios::binary);
  run.err.assign(std::istreambuf_iterator<char>(e), {});
  return run;
}

bool has(const std::string& line, const std::string& part) {
  return line.find(part) != std::string::npos;
}

const char kA[] = "00000001000000000000E3A7DFB510000000000F0D0A";
const char kB[] = "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A";
const char kC[] = "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0B";
const char kD[] = "000000050000000000000006EBB510000000000F0D0A";

TEST(CliDecode, FramesFromStandardInputInOrder) {
  const CliRun r =
      runCli("--decimal-separator .", std::string(kA) + "\n" + kB + "\r\n" + kC + "\n" + kD + "\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[0],
            "{\"frame\":\"00000001000000000000E3A7DFB510000000000F0D0A\",\"accepted\":true,"
            "\"reading\":\"230.5\",\"function\":\"DCV  600V\",\"remark\":\"Continuous\","
            "\"unit\":\"V\",\"handoff\":true,\"visible\":[\"CONok\",\"IGPower\",\"LabelA\","
            "\"LabelB\",\"LabelC\",\"LabelD\",\"Labv\",\"Point3\",\"Shape1\",\"Shape2\","
            "\"Shape3\",\"Shape4\",\"labdc\",\"powerV1\",\"powerv2\",\"powerv3\",\"rsUSB\"],"
            "\"captions\":{\"LabelA\":\"2\",\"LabelB\":\"3\",\"LabelC\":\"0\",\"LabelD\":\"5\","
            "\"Label3\":\"0\",\"Label7\":\"0\",\"Label10\":\"0\",\"Label9\":\"0\","
            "\"H_Time1\":\"8\",\"H_Time2\":\"8\",\"M_Time1\":\"8\",\"M_Time2\":\"8\","
            "\"stor2\":\"8\"}}");
  EXPECT_TRUE(has(r.lines[1], "\"function\":\"IR:1000V 40G\xCE\xA9\""));
  EXPECT_TRUE(has(r.lines[1], "\"unit\":\"G\xCE\xA9\""));
  EXPECT_TRUE(has(r.lines[1], "\"reading\":\"1.234\""));
  EXPECT_TRUE(has(r.lines[2], "\"accepted\":false"));
  EXPECT_TRUE(has(r.lines[2], "\"handoff\":false"));
  EXPECT_TRUE(has(r.lines[2], "\"reading\":\"\""));
  EXPECT_TRUE(has(r.lines[2], "\"function\":\"IR:1000V 40G\xCE\xA9\""));
  EXPECT_TRUE(has(r.lines[3], "\"reading\":\"-12.5\""));
  EXPECT_TRUE(has(r.lines[3], "\"visible\":[\"CONokN\",\"IGPower\",\"LabelB\""));
}

TEST(CliDecode, BadLinesAreNamedAndSkipped) {
  const CliRun r =
      runCli("--decimal-separator ,",
             std::string(kA) + "\n" + "00000001000000000000e3A7DFB510000000000F0D0A\n" + kD + "\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(has(r.err, "line 2")) << r.err;
  EXPECT_TRUE(has(r.err, "'e'")) << r.err;
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_TRUE(has(r.lines[0], "\"reading\":\"230,5\""));
  EXPECT_TRUE(has(r.lines[1], "\"reading\":\"-12,5\""));
}

TEST(CliDecode, FramesAsArguments) {
  const CliRun r = runCli(std::string("--decimal-separator=. ") + kB + " " + kC, "");
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_TRUE(has(r.lines[0], "\"remark\":\"Timed\""));
  EXPECT_TRUE(has(r.lines[1], "\"remark\":\"Continuous\""));
  EXPECT_TRUE(has(r.lines[1], "\"visible\":[\"BAR1\",\"Bar0\",\"CONokN\","));
}

TEST(CliDecode, LocaleGivesTheDefaultSymbol) {
  // LC_ALL=C.UTF-8 in the test environment: a full stop.
  const CliRun r = runCli("", std::string(kA) + "\n");
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_TRUE(has(r.lines[0], "\"reading\":\"230.5\""));
}

}  // namespace
