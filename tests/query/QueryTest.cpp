// dexlin-query as a user runs it: answers, JSON, batch order, errors, exit statuses.
#include "NumberParser.h"
#include "PositionParser.h"
#include "QueryTool.h"
#include "geometry/GreatCircle.h"
#include "model/FieldModel.h"
#include "model/MagneticModel.h"
#include "model/Uncertainty.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct Result {
    std::string out;
    std::string err;
    int status = -1;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the binary through the shell with `args` and `input` on standard input.
Result RunQuery(const std::string& args, const std::string& input = "") {
    static int serial = 0;
    const std::string stem =
        testing::TempDir() + "dexlin_query_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    const std::string inPath = stem + ".in";
    const std::string errPath = stem + ".err";
    std::ofstream(inPath, std::ios::binary) << input;

    const std::string command =
        std::string("'") + DEXLIN_QUERY_PATH + "' " + args + " <'" + inPath + "' 2>'" + errPath + "'";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
    const int wait = pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    result.err = ReadFile(errPath);
    std::remove(inPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

// "name=value" items of a text answer, one per line.
std::map<std::string, std::string> Items(const std::string& out) {
    std::map<std::string, std::string> items;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) items[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return items;
}

// ---- single requests ----

TEST(QueryField, ReferenceRowWithEveryFieldAndTheVariationText) {
    const Result r = RunQuery("--model igrf1995 field 51.5 0 1997");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto items = Items(r.out);
    // status, valid, model, sixteen fields, the signed declination, variation,
    // zone; no uncertainties: the 1995 field publishes none
    EXPECT_EQ(items.size(), 22u);
    EXPECT_EQ(items["status"], "0");
    EXPECT_EQ(items["valid"], "true");
    EXPECT_EQ(items["model"], "igrf1995");
    EXPECT_EQ(items["zone"], "none");
    EXPECT_EQ(items["declinationDegrees"], "-3");
    EXPECT_NEAR(std::stod(items["declinationMinutes"]), 41.252, 5e-4);
    EXPECT_NEAR(std::stod(items["declination"]), -3.68754, 1e-5);  // west: the minutes go with the degrees' sign
    EXPECT_EQ(items["inclinationDegrees"], "66");
    EXPECT_NEAR(std::stod(items["inclinationMinutes"]), 27.195, 5e-4);
    EXPECT_NEAR(std::stod(items["horizontalIntensity"]), 19253.7, 0.05);
    EXPECT_NEAR(std::stod(items["totalIntensity"]), 48194.8, 0.05);
    EXPECT_NEAR(std::stod(items["declinationChange"]), 7.06, 5e-3);
    EXPECT_EQ(items["variation"], "\"   3\xC2\xB0 41.3' W\"");
}

TEST(QueryField, NumbersReadBackAsTheModelsDoubles) {
    model::MagneticElements e{};
    ASSERT_EQ(model::ComputeMagneticElements(50.0, 8.0, 1997.0, e), model::kStatusOk);
    auto items = Items(RunQuery("--model igrf1995 field 50 8 1997").out);
    EXPECT_EQ(std::strtod(items["declinationChange"].c_str(), nullptr), e.declinationChange);
    EXPECT_EQ(std::strtod(items["declinationMinutes"].c_str(), nullptr), e.declinationMinutes);
    EXPECT_EQ(std::strtod(items["verticalComponent"].c_str(), nullptr), e.verticalComponent);
    EXPECT_EQ(std::strtod(items["totalChange"].c_str(), nullptr), e.totalChange);
    // Between 0 and -1 degree: no whole degrees, the minutes carry the west sign.
    EXPECT_EQ(items["declinationDegrees"], "0");
    EXPECT_EQ(std::strtod(items["declination"].c_str(), nullptr), e.declinationMinutes / 60.0);
    EXPECT_EQ(items["variation"], "\"   0\xC2\xB0 32.0' W\"");
}

TEST(QueryCourse, ExactAndDisplayedForms) {
    double course = 0.0;
    double distance = 0.0;
    geometry::GreatCircleCourseDistance(51.5, -0.1, 40.7, -74.0, course, distance);
    const Result r = RunQuery("course 51.5 -0.1 40.7 -74");
    ASSERT_EQ(r.status, 0) << r.err;
    auto items = Items(r.out);
    EXPECT_EQ(std::strtod(items["course"].c_str(), nullptr), course);
    EXPECT_EQ(std::strtod(items["distance"].c_str(), nullptr), distance);
    EXPECT_EQ(items["courseText"], "\"288\xC2\xB0\"");
    EXPECT_EQ(items["distanceText"], "\"3007\"");
}

// A request the model cannot answer (the field at that date overflows single
// precision) prints its status and exits 1, as a batch with such a line does.
TEST(QueryField, SingleRequestTheModelRefusesExitsOne) {
    const Result r = RunQuery("--model igrf1995 field 0 0 3e38");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "status=4\nvalid=false\nmodel=igrf1995\n");
    EXPECT_EQ(r.err,
              "dexlin-query: warning: the date 3e+38 lies outside 1995 to 2000, the years of the model \"1995.0 "
              "reference field\"; no built-in model covers it\n");
    // So far out that the field has no direction: no declination at all.
    const Result far = RunQuery("--model wmm2025 field 10 10 2031 1e20");
    EXPECT_EQ(far.status, 1);
    EXPECT_EQ(far.out, "status=5\nvalid=false\nmodel=wmm2025\n");
    EXPECT_EQ(far.err,
              "dexlin-query: warning: the height 1e+20 km lies outside -1 to 850 km, the heights of the model "
              "\"WMM2025\"\ndexlin-query: warning: the date 2031 lies outside 2025 to 2030, the years of the model "
              "\"WMM2025\"; no built-in model covers it\n");
}

// The same position in every form a user may type answers exactly as the decimal one.
TEST(QueryField, HemisphereLettersAndMinutesGiveTheDecimalAnswer) {
    const std::string decimal = RunQuery("field 51.5 -0.1 1997.5").out;
    ASSERT_NE(decimal, "");
    for (const char* form : {"51.5N 0.1W", "51.5n -0.1w", "\"51d30'N\" 0:06W", "51\xC2\xB0\"30'N\" \"0d6'W\"",
                             "51:30:00N \"0d6'0\\\"W\""}) {
        const Result r = RunQuery(std::string("field ") + form + " 1997.5");
        EXPECT_EQ(r.status, 0) << form << ": " << r.err;
        EXPECT_EQ(r.out, decimal) << form;
    }
}

// valid says whether the date and the height lie within the model's years and
// heights (both ends included); a single request outside them also warns,
// naming the range and the built-in model that covers the date.
TEST(QueryField, ValidAndTheWarningNameTheModelsYears) {
    const struct {
        const char* args;
        const char* valid;
        const char* warning;  // after "dexlin-query: warning: the "
    } rows[] = {
        {"--model igrf1995 field 51.5 0 2000", "true", ""},
        {"--model igrf1995 field 51.5 0 2000.0000001", "false",
         "date 2000.0000001 lies outside 1995 to 2000, the years of the model \"1995.0 reference field\"; --model "
         "igrf14 covers it"},
        {"--model igrf1995 field 51.5 0 2026.5", "false",
         "date 2026.5 lies outside 1995 to 2000, the years of the model \"1995.0 reference field\"; --model wmm2025 "
         "covers it"},
        {"--model wmm2025 field 0 0 2025", "true", ""},
        {"--model=wmm2025 field 0 0 2030", "true", ""},
        {"--model wmm2025 field 0 0 1997", "false",
         "date 1997 lies outside 2025 to 2030, the years of the model \"WMM2025\"; --model igrf14 covers it"},
        {"--model wmm2025 --model igrf1995 field 0 0 1997", "true", ""},  // the last --model holds
        {"--model wmm2025 field 0 0 2026 -1", "true", ""},
        {"--model wmm2025 field 0 0 2026 850", "true", ""},
        {"--model wmm2025 field 0 0 2026 850.001", "false",
         "height 850.001 km lies outside -1 to 850 km, the heights of the model \"WMM2025\""},
        {"--model wmm2025 field 0 0 2026 -1.001", "false",
         "height -1.001 km lies outside -1 to 850 km, the heights of the model \"WMM2025\""},
        {"--model igrf1995 field 0 0 1997 -6000", "false",
         "height -6000 km lies outside -1 to 850 km, the heights of the model \"1995.0 reference field\""},
    };
    for (const auto& row : rows) {
        const Result r = RunQuery(row.args);
        EXPECT_EQ(r.status, 0) << row.args;
        EXPECT_EQ(Items(r.out)["valid"], row.valid) << row.args;
        EXPECT_EQ(r.err, *row.warning ? std::string("dexlin-query: warning: the ") + row.warning + "\n" : "")
            << row.args;
    }
    // In batch the answer's valid says it, and stderr how many were outside,
    // once at the end.
    const Result batch = RunQuery("--json --model igrf1995 batch", "field 51.5 0 2026\nfield 1 1 1997\n");
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(batch.out.rfind("{\"status\":0,\"valid\":false,\"model\":\"igrf1995\",", 0), 0u) << batch.out;
    EXPECT_EQ(batch.err, "dexlin-query: warning: 1 request outside igrf1995's years 1995 to 2000\n");
    EXPECT_EQ(RunQuery("--model WMM2025 batch", "field 1 1 2024\nfield 1 1 2031\n").err,
              "dexlin-query: warning: 2 requests outside wmm2025's years 2025 to 2030\n");
    EXPECT_EQ(RunQuery("batch", "field 1 1 2024\nfield 1 1 2031\n").err, "");  // auto: each in its model's years
}

// WMM2025 today: London in December 2026 reads east, as the model's own
// calculator gives it (1 degree 14.8' E); a height is passed to the model.
TEST(QueryField, CurrentModelAndHeight) {
    auto items = Items(RunQuery("--model wmm2025 field 51.5 -0.1 2026.94").out);
    EXPECT_EQ(items["variation"], "\"   1\xC2\xB0 14.8' E\"");
    EXPECT_NEAR(std::stod(items["declination"]), 1.2467, 1e-4);

    model::MagneticElements e{};
    ASSERT_EQ(model::ComputeMagneticElements(model::Wmm2025(), 10.0, 20.0, 100.0, 2027.0, e), model::kStatusOk);
    items = Items(RunQuery("--model wmm2025 field 10 20 2027 100").out);
    EXPECT_EQ(std::strtod(items["totalIntensity"].c_str(), nullptr), e.totalIntensity);
    EXPECT_EQ(std::strtod(items["declinationChange"].c_str(), nullptr), e.declinationChange);
}

// By default the model is the one of the date, named in every answer; outside
// its years no model answers. WMM2025 answers carry its error model.
TEST(QueryField, TheModelChosenForTheDate) {
    const struct {
        const char* args;
        int status;
        const char* model;  // empty: refused
    } rows[] = {
        {"field 51.5 -0.1 1900", 0, "igrf14"},
        {"field 51.5 -0.1 2024.999", 0, "igrf14"},
        {"field 51.5 -0.1 2025", 0, "wmm2025"},
        {"field 51.5 -0.1 2029-12-31", 0, "wmm2025"},
        {"field 51.5 -0.1 2030", 0, "wmm2025"},
        {"--model AUTO field 51.5 -0.1 1899.999", 2, ""},
        {"field 51.5 -0.1 2030.001", 2, ""},
        {"--model IGRF14 field 51.5 -0.1 2031", 0, "igrf14"},
        {"--model Igrf1995 field 51.5 -0.1 1997", 0, "igrf1995"},
    };
    for (const auto& row : rows) {
        const Result r = RunQuery(row.args);
        EXPECT_EQ(r.status, row.status) << row.args << ": " << r.err;
        if (*row.model == '\0') {
            EXPECT_EQ(r.out, "") << row.args;
            EXPECT_NE(r.err.find("is outside 1900 to 2030, the years of the built-in models"), std::string::npos)
                << r.err;
            continue;
        }
        auto items = Items(r.out);
        EXPECT_EQ(items["model"], row.model) << row.args;
        const double h = std::stod(items["horizontalIntensity"]);
        EXPECT_EQ(items["zone"], model::ZoneName(model::ZoneOf(h))) << row.args;
        const bool wmm = std::string(row.model) == "wmm2025";
        EXPECT_EQ(items.count("declinationUncertainty"), wmm ? 1u : 0u) << row.args;
        if (wmm) {
            EXPECT_DOUBLE_EQ(std::stod(items["declinationUncertainty"]), std::hypot(0.26, 5417.0 / h));
            EXPECT_EQ(items["horizontalUncertainty"], "133");
        }
    }
    // London today reads east, as the current model gives it.
    auto london = Items(RunQuery("field 51.5074N 0.1278W 2026-12-09").out);
    EXPECT_EQ(london["variation"], "\"   1\xC2\xB0 14.2' E\"");
    // In JSON a model without an error model has null uncertainties.
    const std::string json = RunQuery("--json field 1 1 2010").out;
    EXPECT_NE(json.find("\"model\":\"igrf14\","), std::string::npos) << json;
    EXPECT_NE(json.find("\"declinationUncertainty\":null,"), std::string::npos) << json;
}

// A coefficient file in the standard layout, written from the built-in
// WMM2025 table, answers as --model wmm2025 does; a bad one is refused with
// its name and line, and nothing is answered.
TEST(QueryField, ModelFromACoefficientFile) {
    std::string text = "    2025.0            WMM-2025     11/13/2024\n";
    char line[128];
    for (const model::CoefficientRecord& c : model::Wmm2025().coefficients) {
        std::snprintf(line, sizeof line, "%3d%3d%11.1f%10.1f%10.1f%10.1f\n", static_cast<int>(c.n),
                      static_cast<int>(c.m), c.g, c.h, c.gdot, c.hdot);
        text += line;
    }
    text += "999999999999999999999999999999999999999999999999\n";
    const std::string path = testing::TempDir() + "dexlin_query_model_" + std::to_string(getpid()) + ".cof";
    std::ofstream(path, std::ios::binary) << text;
    const Result fromFile = RunQuery("--model '" + path + "' field 51.5 -0.1 2026.94 200");
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    auto fileItems = Items(fromFile.out);
    auto builtInItems = Items(RunQuery("--model wmm2025 field 51.5 -0.1 2026.94 200").out);
    EXPECT_EQ(fileItems["model"], "file");
    for (const char* key : {"declination", "declinationChange", "totalIntensity", "verticalChange", "variation"}) {
        EXPECT_EQ(fileItems[key], builtInItems[key]) << key;
    }
    EXPECT_EQ(fileItems.count("declinationUncertainty"), 0u);  // a file brings no error model
    EXPECT_EQ(RunQuery("--model '" + path + "' field 0 0 2031").err,
              "dexlin-query: warning: the date 2031 lies outside 2025 to 2030, the years of the model \"WMM-2025\"; "
              "no built-in model covers it\n");

    const std::string good = text;
    const std::size_t third = text.find('\n', text.find('\n') + 1) + 1;
    text.replace(third, text.find('\n', third) - third, "  1  1  x");
    std::ofstream(path, std::ios::binary) << text;
    const Result bad = RunQuery("--model '" + path + "' field 51.5 -0.1 2026.94");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "dexlin-query: " + path + ": line 3: expected n m g h gdot hdot\n");
    // A request after the closing line is not swallowed: the file is refused.
    std::ofstream(path, std::ios::binary) << good << "course 1 2 3 4\n";
    EXPECT_EQ(RunQuery("--model '" + path + "' field 51.5 -0.1 2026.94").err,
              "dexlin-query: " + path + ": line 93: text after the closing line of 9s\n");
    std::remove(path.c_str());
}

TEST(QueryPixel, TopLeftCornerOnTheMap) {
    const Result r = RunQuery("pixel 0 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "inside=true\nlatitude=80\nlongitude=-180\ntext=\"80\xC2\xB0 N   180\xC2\xB0 W\"\n");
}

TEST(QueryPixel, RawKeepsTheDisplayBytesWithBlankLetters) {
    const Result r = RunQuery("--raw pixel 317 246");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "inside=true\nlatitude=0\nlongitude=0\ntext=\" 0\xB0     000\xB0  \"\n");
}

// One row past the bottom edge and far off: no latitude, longitude or text.
TEST(QueryPixel, OffTheMapHasNoPosition) {
    const Result r = RunQuery("pixel 300 379");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "inside=false\n");
    EXPECT_EQ(RunQuery("--json pixel 0 -100000").out, "{\"inside\":false}\n");
}

TEST(QueryJson, OneObjectPerAnswerWithTheRecordsOwnNames) {
    const Result pixel = RunQuery("--json pixel 0 0");
    EXPECT_EQ(pixel.out,
              "{\"inside\":true,\"latitude\":80,\"longitude\":-180,\"text\":\"80\xC2\xB0 N   180\xC2\xB0 W\"}\n");
    // --raw does not make JSON invalid UTF-8.
    EXPECT_EQ(RunQuery("--json --raw pixel 634 0").out,
              "{\"inside\":true,\"latitude\":80,\"longitude\":180,\"text\":\"80\xC2\xB0 N   180\xC2\xB0 E\"}\n");

    const Result field = RunQuery("field 51.5 0 1997 --json");
    ASSERT_EQ(field.status, 0) << field.err;
    std::size_t at = 0;
    for (const char* key : {"status",
                            "valid",
                            "declinationChange",
                            "inclinationChange",
                            "horizontalChange",
                            "northChange",
                            "eastChange",
                            "verticalChange",
                            "totalChange",
                            "declinationDegrees",
                            "declinationMinutes",
                            "declination",
                            "inclinationDegrees",
                            "inclinationMinutes",
                            "horizontalIntensity",
                            "northComponent",
                            "eastComponent",
                            "verticalComponent",
                            "totalIntensity",
                            "variation"}) {
        const std::size_t found = field.out.find(std::string("\"") + key + "\":", at);
        ASSERT_NE(found, std::string::npos) << key;
        at = found;
    }
    EXPECT_EQ(field.out.front(), '{');
    EXPECT_EQ(field.out.substr(field.out.size() - 2), "}\n");
    EXPECT_EQ(field.out.find('\n'), field.out.size() - 1);

    EXPECT_EQ(
        RunQuery("--json course 0 0 0 90").out,
        "{\"course\":90.00000000257238,\"distance\":5400,\"courseText\":\"090\xC2\xB0\",\"distanceText\":\"5400\"}\n");
}

// ---- batch ----

TEST(QueryBatch, AnswersInOrderWithErrorLinesInPlace) {
    const std::string input =
        "pixel 0 0\n"
        "field 51.5 zero 1997\n"
        "\n"
        "course 0 0 0 -90\r\n"
        "launch\n"
        "  pixel   634\t378  \n"
        "# a comment\t\x01 stays as it is\r\n"
        " \t\r\n"
        " # not a comment\n"
        "pixel 1 2 3";  // last line without a newline
    const Result r = RunQuery("batch", input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "inside=true latitude=80 longitude=-180 text=\"80\xC2\xB0 N   180\xC2\xB0 W\"\n"
              "error: line 2: field: LON \"zero\" is not a number\n"
              "\n"
              "course=269.9999999974276 distance=5400 courseText=\"270\xC2\xB0\" distanceText=\"5400\"\n"
              "error: line 5: unknown command \"launch\": expected field, course, route or pixel\n"
              "inside=true latitude=-59.024442791473355 longitude=180 text=\"59\xC2\xB0 S   180\xC2\xB0 E\"\n"
              "# a comment\t\x01 stays as it is\r\n"
              " \t\r\n"
              "error: line 9: unknown command \"#\": expected field, course, route or pixel\n"
              "error: line 10: pixel: extra argument \"3\"\n");
}

// Requests of every kind in random order, with the lines that chunks must not
// split wrongly: blank and comment lines, CRLF, long ones, an over-long one.
std::string MixedRequests(int count) {
    std::mt19937 random(1998);
    std::uniform_real_distribution<double> latitude(-89.0, 89.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_real_distribution<double> year(1994.0, 2001.0);  // some outside the model's years
    std::string input;
    char line[160];
    for (int i = 0; i < count; ++i) {
        switch (random() % 12) {
        case 0: input += "\n"; break;
        case 1: input += "# comment " + std::to_string(i) + " \"quoted\"\n"; break;
        case 2: input += "field 1 x 1997\r\n"; break;
        case 3: input += "pixel " + std::to_string(random() % 700) + " " + std::to_string(random() % 500) + "\n"; break;
        case 4: input += "course 51.5 -0.1 40.7 -74 extra\n"; break;
        case 5: input.append(1, '#').append(random() % 20000, 'c').append(1, '\n'); break;  // across chunk boundaries
        case 6: input += "field " + std::string(random() % 20000, ' ') + "1 2 1997\n"; break;
        default:
            std::snprintf(line, sizeof line, "field %.6f %.6f %.3f\n", latitude(random), longitude(random),
                          year(random));
            input += line;
        }
        if (i == count / 2) input += "field " + std::string(70000, '9') + "\n";  // refused
    }
    return input + "pixel 0 0";  // no newline at the end
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(QueryBatch, ManyThreadsWriteWhatOneThreadWritesLineForLine) {
    const std::string input = MixedRequests(3000);
    const std::vector<std::string> requests = Lines(input);
    for (const std::string format : {"", "--json "}) {
        const Result one = RunQuery(format + "--threads 1 batch", input);
        EXPECT_EQ(one.status, 1);
        const std::vector<std::string> answers = Lines(one.out);
        ASSERT_EQ(answers.size(), requests.size());
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const bool copied = requests[i].empty() || requests[i][0] == '#';
            EXPECT_EQ(answers[i] == requests[i], copied) << "line " << i + 1;
        }
        for (const std::string threads : {"2", "3", "--threads=64"}) {
            const std::string option = threads[0] == '-' ? threads : "--threads " + threads;
            const Result many = RunQuery(format + option + " batch", input);
            EXPECT_EQ(many.status, 1) << option;
            EXPECT_TRUE(many.out == one.out) << format << option;  // not printed: megabytes
        }
    }
}

// The input is a file the shell opened once: what the tool has not read is
// left for `wc -c`, which shows how far it read before it stopped.
TEST(QueryBatch, StopsAtTheFirstFailedWriteWithExitThree) {
    const std::string stem = testing::TempDir() + "dexlin_query_write_" + std::to_string(getpid());
    std::string input;
    for (int i = 0; i < 100000; ++i) input += "field 51.5 0 1997.5\n";
    std::ofstream(stem + ".in", std::ios::binary) << input;
    const std::string query = std::string("'") + DEXLIN_QUERY_PATH + "'";
    const std::string files = " 2>'" + stem + ".err'; echo $? >'" + stem + ".status'";
    for (const std::string threads : {"1", "2"}) {
        const std::string run = query + " --threads " + threads + " batch";
        for (const std::string& command :
             {"{ " + run + " >/dev/full" + files + "; }", "{ " + run + " >&-" + files + "; }",
              "{ " + run + files + "; } | head -c 1 >/dev/null"}) {
            std::ofstream(stem + ".sh") << "trap '' PIPE\n(" << command << "; wc -c >'" << stem << ".rest') <'" << stem
                                        << ".in'\n";
            ASSERT_EQ(std::system(("sh '" + stem + ".sh'").c_str()), 0) << command;
            EXPECT_EQ(ReadFile(stem + ".status"), "3\n") << command;
            EXPECT_EQ(ReadFile(stem + ".err"), "dexlin-query: batch: cannot write the answers\n") << command;
            const long rest = std::stol(ReadFile(stem + ".rest"));
            EXPECT_GT(rest, static_cast<long>(input.size()) - 200000) << command;  // it read a few chunks at most
        }
    }
    for (const char* suffix : {".in", ".sh", ".err", ".status", ".rest"}) std::remove((stem + suffix).c_str());
}

TEST(QueryBatch, FieldAnswersMatchSingleRequestsAndExitZero) {
    const Result single = RunQuery("field 37.8 -122.4 1997");
    const Result batch = RunQuery("batch", "field 51.5 0 1997\nfield 37.8 -122.4 1997\n");
    EXPECT_EQ(batch.status, 0);
    const std::size_t second = batch.out.find('\n') + 1;
    std::string expected = single.out;
    for (std::size_t i = 0; i + 1 < expected.size(); ++i)
        if (expected[i] == '\n') expected[i] = ' ';
    EXPECT_EQ(batch.out.substr(second), expected);
}

TEST(QueryBatch, JsonErrorLinesCarryTheLineNumber) {
    const Result r = RunQuery("--json batch", "field 1 2 inf\npixel 317 246\ncourse 91\xC2\xB0N 0 0 0\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "{\"error\":\"field: DATE \\\"inf\\\" is not a finite number\",\"line\":1}\n"
              "{\"inside\":true,\"latitude\":0,\"longitude\":0,\"text\":\" 0\xC2\xB0     000\xC2\xB0  \"}\n"
              "{\"error\":\"course: LAT1 \\\"91\xC2\xB0N\\\" is outside -90..90\",\"line\":3}\n");
}

TEST(QueryBatch, OverlongLineIsRefusedAndTheNextOneAnswered) {
    // 65536 bytes is the longest request: one held whole in memory, one skipped
    // while it is read, a comment as much as a request; the line numbers go on.
    const std::string longest = "pixel 0 0" + std::string(65536 - 9, ' ');
    const std::string answer = "inside=true latitude=80 longitude=-180 text=\"80\xC2\xB0 N   180\xC2\xB0 W\"\n";
    const std::string input = "field " + std::string(70000, '1') + "\npixel 0 0\n#" + std::string(200000, 'c') +
                              "\nlaunch\n" + longest + "\n" + longest + " \n" + std::string(3000000, ' ');
    for (const char* threads : {"1", "2"}) {
        const Result r = RunQuery(std::string("--threads ") + threads + " batch", input);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "error: line 1: request longer than 65536 bytes\n" + answer +
                             "error: line 3: request longer than 65536 bytes\n"
                             "error: line 4: unknown command \"launch\": expected field, course, route or pixel\n" +
                             answer +
                             "error: line 6: request longer than 65536 bytes\n"
                             "error: line 7: request longer than 65536 bytes\n");
    }
}

// A program that writes one request and waits for its answer before the next
// (a coprocess) must get each answer while the input stays open, on one
// thread and on several. A missing answer shows as no line within a minute.
TEST(QueryBatch, AnswersEachLineWhileTheInputStaysOpen) {
    for (const char* threads : {"1", "2"}) {
        int toTool[2];
        int fromTool[2];
        ASSERT_EQ(pipe(toTool), 0);
        ASSERT_EQ(pipe(fromTool), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(toTool[0], STDIN_FILENO);
            dup2(fromTool[1], STDOUT_FILENO);
            close(toTool[1]);
            close(fromTool[0]);
            execl(DEXLIN_QUERY_PATH, DEXLIN_QUERY_PATH, "--threads", threads, "batch", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toTool[0]);
        close(fromTool[1]);
        for (const std::string& request : {std::string("pixel 0 0\n"), std::string("# next\n")}) {
            ASSERT_EQ(write(toTool[1], request.data(), request.size()), static_cast<ssize_t>(request.size()));
            std::string line;
            pollfd ready{fromTool[0], POLLIN, 0};
            char c = 0;
            while (line.empty() || line.back() != '\n') {
                ASSERT_EQ(poll(&ready, 1, 60000), 1) << "no answer to " << request << "on " << threads << " threads";
                ASSERT_EQ(read(fromTool[0], &c, 1), 1);
                line += c;
            }
            EXPECT_EQ(line.substr(0, 12) == "inside=true ", request[0] == 'p') << line;
            if (request[0] == '#') {
                EXPECT_EQ(line, request);
            }
        }
        close(toTool[1]);
        close(fromTool[0]);
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << threads;
    }
}

TEST(QueryBatch, EmptyInputAnswersNothing) {
    const Result r = RunQuery("batch", "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

// ---- bad command lines: one clear line on stderr naming the argument, status 2 ----

struct BadRow {
    const char* name;
    const char* args;
    const char* message;
};

void PrintTo(const BadRow& row, std::ostream* os) { *os << row.name; }

class QueryBadInput : public testing::TestWithParam<BadRow> {};

TEST_P(QueryBadInput, SaysWhatIsWrongAndExitsTwo) {
    const Result r = RunQuery(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, std::string("dexlin-query: ") + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QueryBadInput,
    testing::Values(
        BadRow{"NotANumber", "field 51.5 x 1997", "field: LON \"x\" is not a number"},
        BadRow{"TrailingJunk", "field 51.5 0 1997y",
               "field: DATE \"1997y\" is not a date (a decimal year, YYYY-MM-DD or now)"},
        BadRow{"EmptyArgument", "course '' 0 0 0", "course: LAT1 \"\" is not a number"},
        BadRow{"NaN", "field nan 0 1997", "field: LAT \"nan\" is not a finite number"},
        BadRow{"Infinity", "course 0 0 0 -inf", "course: LON2 \"-inf\" is not a finite number"},
        BadRow{"Overflow", "field 1e999 0 1997", "field: LAT \"1e999\" is out of range"},
        BadRow{"BeyondTheModelsSinglePrecision", "--model igrf1995 field 0 1e39 1997",
               "field: LON \"1e39\" is out of range for the model"},
        BadRow{"HexIsNotDecimal", "field 0x10 0 1997", "field: LAT \"0x10\" is not a number"},
        BadRow{"MissingArgument", "course 1 2 3", "course: LON2 is missing"},
        BadRow{"RouteMissingArgument", "route 1 2 3", "route: LON2 is missing"},
        BadRow{"RouteExtraArgument", "route 1 2 3 4 2026 0", "route: extra argument \"0\""},
        BadRow{"RouteDateBeforeTheModels", "route 1 2 3 4 1899.99",
               "route: DATE \"1899.99\" is outside 1900 to 2030, the years of the built-in models (--model FILE for "
               "others)"},
        BadRow{"RouteLongitudeBeyondTheModelsSinglePrecision", "--model igrf1995 route 0 1e39 0 0 1997",
               "route: LON1 \"1e39\" is out of range for the model"},
        BadRow{"ExtraArgument", "field 1 2 1997 4 5", "field: extra argument \"5\""},
        BadRow{
            "ModelFileMissing", "--model /nonexistent/wmm.cof field 0 0 2026",
            "/nonexistent/wmm.cof: No such file or directory (nor a built-in model: auto, wmm2025, igrf14, igrf1995)"},
        BadRow{"HeightInsideTheCore", "--model wmm2025 field 0 0 2026 -6000.001",
               "field: HEIGHT_KM \"-6000.001\" is inside the Earth's core (below -6000 km)"},
        BadRow{"ModelWithoutValue", "field 0 0 2026 --model",
               "--model needs a value: auto, wmm2025, igrf14, igrf1995 or a coefficient file (try --help)"},
        BadRow{"ModelWithAnEmptyValue", "--model= field 0 0 2026",
               "--model needs a value: auto, wmm2025, igrf14, igrf1995 or a coefficient file (try --help)"},
        BadRow{"ModelWithAnEmptyWord", "--model '' field 0 0 2026",
               "--model needs a value: auto, wmm2025, igrf14, igrf1995 or a coefficient file (try --help)"},
        BadRow{"HeightNotANumber", "--model wmm2025 field 0 0 2026 1km", "field: HEIGHT_KM \"1km\" is not a number"},
        BadRow{"PixelNotAnInteger", "pixel 1.5 0", "pixel: X \"1.5\" is not an integer"},
        BadRow{"PixelOutOfRange", "pixel 0 99999999999", "pixel: Y \"99999999999\" is out of range"},
        BadRow{"UnknownCommand", "fiel 1 2 3", "unknown command \"fiel\": expected field, course, route or pixel"},
        BadRow{"NoCommand", "--json", "no command given: expected field, course, route, pixel or batch (try --help)"},
        BadRow{"UnknownOption", "--jsn pixel 0 0", "unknown option \"--jsn\" (try --help)"},
        BadRow{"BatchTakesNoArguments", "batch 1", "batch: extra argument \"1\" (the requests come on standard input)"},
        BadRow{"DoubledSign", "course +-5 0 0 0", "course: LAT1 \"+-5\" is not a number"},
        BadRow{"LatitudePastTheNorthPole", "field 95 0 1997", "field: LAT \"95\" is outside -90..90"},
        BadRow{"LatitudeAHairPastTheSouthPole", "course 0 0 -90.000000001 0",
               "course: LAT2 \"-90.000000001\" is outside -90..90"},
        BadRow{"EchoOfFortyBytesInFull", "field 51.5 0 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
               "field: DATE \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\" is not a date (a decimal year, YYYY-MM-DD or "
               "now)"},
        BadRow{"EchoStopsAfterFortyBytes", "field 51.5 0 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
               "field: DATE \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" is not a date (a decimal year, YYYY-MM-DD "
               "or now)"},
        // Echoed as typed, UTF-8 and all, and cut before a character that would cross 40 bytes.
        BadRow{"DegreeSignEchoedAsTyped",
               "course \"91\xC2\xB0"
               "30'N\" 0 0 0",
               "course: LAT1 \"91\xC2\xB0"
               "30'N\" is outside -90..90"},
        BadRow{"EchoEndingInADegreeSignAtFortyBytes", "field 51.5 0 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xC2\xB0",
               "field: DATE \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xC2\xB0\" is not a date (a decimal year, "
               "YYYY-MM-DD or now)"},
        BadRow{"EchoCutBeforeADegreeSignCrossingFortyBytes",
               "field 51.5 0 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xC2\xB0",
               "field: DATE \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" is not a date (a decimal year, YYYY-MM-DD "
               "or now)"},
        BadRow{"StrayByteAndControlEchoedAsQuestionMarks", "field 51.5 0 1\xFF\"$(printf '\\001')\"\xC2\x85",
               "field: DATE \"1???\" is not a date (a decimal year, YYYY-MM-DD or now)"},
        BadRow{"ThreeNumbersInOneWord", "field 51.5,-0.1,1997",
               "field: LAT \"51.5,-0.1,1997\" is not a number (numbers are separated by blanks and use a "
               "decimal point)"},
        BadRow{"SignAgainstLetter", "field -51.5N 0 1997",
               "field: LAT \"-51.5N\" has a sign that contradicts its hemisphere letter"},
        BadRow{"LatitudeLetterOnALongitude", "course 0 0.1S 0 0",
               "course: LON1 \"0.1S\" has a latitude's letter (N or S)"},
        BadRow{"SixtyMinutes", "field \"51d60'N\" 0 1997",
               "field: LAT \"51d60'N\" has minutes or seconds of 60 or more"},
        BadRow{"NoSuchDay", "field 0 0 2026-02-29", "field: DATE \"2026-02-29\" is not a day of the calendar"},
        BadRow{"NoThreads", "--threads 0 batch", "--threads: N \"0\" is out of range (expected 1 to 64)"},
        BadRow{"OneThreadTooMany", "batch --threads=65", "--threads: N \"65\" is out of range (expected 1 to 64)"},
        BadRow{"ThreadsNotAnInteger", "--threads 2.5 batch",
               "--threads: N \"2.5\" is not an integer (expected 1 to 64)"},
        BadRow{"ThreadsMissing", "batch --threads", "--threads: N is missing (try --help)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QueryOptions, PlusSignAndNegativeNumbersAreNumbersNotOptions) {
    const Result r = RunQuery("course +10 -20 -30.5 +40");
    EXPECT_EQ(r.status, 0) << r.err;
}

// Too small for a double is zero, not out of range; the poles themselves are latitudes.
TEST(QueryOptions, UnderflowIsZeroAndThePolesAreInside) {
    const Result r = RunQuery("course 1e-400 0 -1e-400 1e-99999999999999999999");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, RunQuery("course 0 0 0 0").out);
    EXPECT_EQ(RunQuery("course 90 0 -90 0").status, 0);
}

TEST(QueryOptions, HelpAndVersion) {
    const Result help = RunQuery("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: dexlin-query", 0), 0u);
    const Result version = RunQuery("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("dexlin-query ") + DEXLIN_VERSION + "\n");
}

// Help and version are answers like any other: one that cannot be written is a write error, not success.
TEST(QueryOptions, HelpAndVersionThatCannotBeWrittenExitThree) {
    for (const std::string args : {"--help", "--version", "pixel 0 0", "field 0 0 2026"}) {
        const Result r = RunQuery(args + " >/dev/full");
        EXPECT_EQ(r.status, 3) << args;
        EXPECT_EQ(r.err, "dexlin-query: cannot write the answer\n") << args;
    }
}

// ---- the words of a request, read in-process ----

namespace parsing {

using query::ParseError;

enum class WordKind { Latitude, Longitude, Real };

struct WordRow {
    const char* word;
    WordKind kind;
    ParseError error;  // None: read as `degrees`
    double degrees;
};

void PrintTo(const WordRow& row, std::ostream* os) { *os << row.word; }

class QueryPositionWords : public testing::TestWithParam<WordRow> {};

TEST_P(QueryPositionWords, ReadAsDegreesOrRefused) {
    const WordRow& row = GetParam();
    double degrees = 12345.0;
    const ParseError error = row.kind == WordKind::Latitude    ? query::ParseLatitude(row.word, degrees)
                             : row.kind == WordKind::Longitude ? query::ParseLongitude(row.word, degrees)
                                                               : query::ParseReal(row.word, degrees);
    EXPECT_EQ(error, row.error);
    if (row.error == ParseError::None) {
        EXPECT_EQ(degrees, row.degrees);
        EXPECT_EQ(std::signbit(degrees), std::signbit(row.degrees));
    }
}

constexpr WordKind kLat = WordKind::Latitude;
constexpr WordKind kLon = WordKind::Longitude;
constexpr WordKind kReal = WordKind::Real;  // a height or a decimal year

INSTANTIATE_TEST_SUITE_P(
    Rows, QueryPositionWords,
    testing::Values(
        WordRow{"51.5N", kLat, ParseError::None, 51.5}, WordRow{"51.5s", kLat, ParseError::None, -51.5},
        WordRow{"-51.5S", kLat, ParseError::None, -51.5}, WordRow{"+51.5N", kLat, ParseError::None, 51.5},
        WordRow{"51d30'N", kLat, ParseError::None, 51.5},
        WordRow{"51\xC2\xB0"
                "30'S",
                kLat, ParseError::None, -51.5},
        WordRow{"51:30:36", kLat, ParseError::None, 51.0 + 30.0 / 60.0 + 36.0 / 3600.0},
        WordRow{"51d59.999'N", kLat, ParseError::None, 51.0 + 59.999 / 60.0},
        // Under 60 as written, 60.0 as a double: just under 11 degrees.
        WordRow{"10:59:59.9999999999999999N", kLat, ParseError::None, 11.0},
        WordRow{"10d59.99999999999999999'", kLat, ParseError::None, 11.0},
        WordRow{"10:060", kLat, ParseError::SixtyOrMore, 0},
        WordRow{"51d30'59.5\"N", kLat, ParseError::None, 51.0 + 30.0 / 60.0 + 59.5 / 3600.0},
        WordRow{"90N", kLat, ParseError::None, 90.0}, WordRow{"-90:00:00", kLat, ParseError::None, -90.0},
        WordRow{"0.1W", kLon, ParseError::None, -0.1}, WordRow{"0:06W", kLon, ParseError::None, -0.1},
        WordRow{"-0", kLon, ParseError::None, -0.0}, WordRow{"-1e-400", kLat, ParseError::None, -0.0},
        WordRow{"1e-400", kLat, ParseError::None, 0.0}, WordRow{"1e-310", kLon, ParseError::None, 1e-310},
        WordRow{"-1e-400", kReal, ParseError::None, -0.0}, WordRow{"+1e-400", kReal, ParseError::None, 0.0},
        WordRow{"-.5e-99999999999999999999", kLon, ParseError::None, -0.0},
        WordRow{"720E", kLon, ParseError::None, 720.0}, WordRow{"-51.5N", kLat, ParseError::SignAgainstLetter, 0},
        WordRow{"+0.1W", kLon, ParseError::SignAgainstLetter, 0},
        WordRow{"51.5E", kLat, ParseError::LongitudeLetter, 0}, WordRow{"0.1N", kLon, ParseError::LatitudeLetter, 0},
        WordRow{"51d60'N", kLat, ParseError::SixtyOrMore, 0}, WordRow{"51:30:60", kLat, ParseError::SixtyOrMore, 0},
        WordRow{"51.5d30'", kLat, ParseError::NotAnAngle, 0}, WordRow{"51:30.5:10", kLat, ParseError::NotAnAngle, 0},
        WordRow{"51:", kLat, ParseError::NotAnAngle, 0}, WordRow{"51d30\"", kLat, ParseError::NotAnAngle, 0},
        WordRow{"90.000001", kLat, ParseError::BeyondPole, 0}, WordRow{"90:00:01S", kLat, ParseError::BeyondPole, 0},
        WordRow{"+-5", kLon, ParseError::NotANumber, 0}, WordRow{"--5", kLon, ParseError::NotANumber, 0},
        WordRow{"N", kLat, ParseError::NotANumber, 0},
        WordRow{"nan", kLon, ParseError::NotFinite, 0},      // its n is no hemisphere
        WordRow{"nan(d)", kLon, ParseError::NotAnAngle, 0},  // a real's letters, yet a mark: read as an angle
        WordRow{"1e400", kLon, ParseError::OutOfRange, 0}, WordRow{"-10e99999999999", kLon, ParseError::OutOfRange, 0}),
    [](const auto& info) { return std::to_string(info.index); });

query::CalendarDate FixedToday() { return {1997, 6, 15}; }

struct DateRow {
    const char* word;
    ParseError error;
    double year;
};

void PrintTo(const DateRow& row, std::ostream* os) { *os << row.word; }

class QueryDateWords : public testing::TestWithParam<DateRow> {};

TEST_P(QueryDateWords, ReadAsModelYearsOrRefused) {
    const DateRow& row = GetParam();
    double year = 0.0;
    EXPECT_EQ(query::ParseDate(row.word, FixedToday, year), row.error);
    if (row.error == ParseError::None) {
        EXPECT_EQ(year, row.year);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QueryDateWords,
    testing::Values(DateRow{"1997.5", ParseError::None, 1997.5},
                    // The models' day count: 9 December 2026 is its 343rd day.
                    DateRow{"2026-12-09", ParseError::None, 2026.0 + 342.0 / 365.0},
                    DateRow{"now", ParseError::None, 1997.0 + 165.0 / 365.0},
                    DateRow{"2024-02-29", ParseError::None, 2024.0 + 59.0 / 366.0},
                    DateRow{"2000-02-29", ParseError::None, 2000.0 + 59.0 / 366.0},
                    DateRow{"1997-12-31", ParseError::None, 1997.0 + 364.0 / 365.0},
                    DateRow{"1900-02-29", ParseError::NoSuchDay, 0}, DateRow{"2026-02-29", ParseError::NoSuchDay, 0},
                    DateRow{"2026-04-31", ParseError::NoSuchDay, 0}, DateRow{"2026-13-01", ParseError::NoSuchDay, 0},
                    DateRow{"2026-00-10", ParseError::NoSuchDay, 0}, DateRow{"2026-01-00", ParseError::NoSuchDay, 0},
                    DateRow{"2026-1-09", ParseError::NotADate, 0}, DateRow{"Now", ParseError::NotADate, 0},
                    DateRow{"inf", ParseError::NotFinite, 0}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace parsing

// ---- in-process: a fixed today, a host program's locale ----

// Runs the tool in this process on `args` (split at blanks), `input` as the
// batch's standard input and `today` as the day "now" means.
Result RunInProcess(const std::string& args, const std::string& input = "",
                    query::DateSource today = parsing::FixedToday) {
    std::vector<std::string> words;
    std::istringstream split(args);
    for (std::string word; split >> word;) words.push_back(word);
    const std::vector<std::string_view> views(words.begin(), words.end());
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Result result;
    if (in == nullptr || out == nullptr || err == nullptr) return result;
    std::fwrite(input.data(), 1, input.size(), in);
    std::fflush(in);
    lseek(fileno(in), 0, SEEK_SET);
    result.status = query::RunQueryTool(views, fileno(in), out, err, today);
    for (auto [file, text] : {std::pair{out, &result.out}, std::pair{err, &result.err}}) {
        std::rewind(file);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text->append(buffer, n);
    }
    for (std::FILE* file : {in, out, err}) std::fclose(file);
    return result;
}

TEST(QueryInProcess, NowIsTheInjectedDay) {
    const Result now = RunInProcess("field 51.5 0 now");
    ASSERT_EQ(now.status, 0) << now.err;
    EXPECT_EQ(now.out, RunInProcess("field 51.5 0 1997-06-15").out);
    EXPECT_EQ(now.out, RunQuery("field 51.5 0 1997-06-15").out);  // the binary reads ISO dates alike
}

// "now" is the local day: at 01:00 on 16 June in a zone 14 hours ahead of
// UTC (the clock set by the faketime library) it is still 15 June in UTC.
TEST(QueryInProcess, NowIsTheLocalDayNotTheUtcOne) {
    const char* library = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
    if (access(library, R_OK) != 0) GTEST_SKIP() << "no faketime library";
    setenv("TZ", "XXX-14", 1);
    setenv("FAKETIME", "@2026-06-16 01:00:00", 1);
    setenv("LD_PRELOAD", library, 1);
    const Result now = RunQuery("field 51.5 0 now");
    unsetenv("LD_PRELOAD");
    unsetenv("FAKETIME");
    unsetenv("TZ");
    ASSERT_EQ(now.status, 0) << now.err;
    EXPECT_EQ(now.out, RunQuery("field 51.5 0 2026-06-16").out);
}

// A host program with a decimal-comma locale (as Qt sets from the
// environment) gets the same bytes: numbers, texts and JSON keep the point.
TEST(QueryInProcess, AnswersIgnoreADecimalCommaLocale) {
    const std::string requests = "field 51.5 -0.1 1997.5\ncourse 10 20 10 20.5\npixel 317 246\n";
    const Result text = RunInProcess("--model igrf1995 batch", requests);
    const Result json = RunInProcess("--model igrf1995 --json batch", requests);
    ASSERT_EQ(text.status, 0) << text.out;
    ASSERT_NE(text.out.find("40.1' W"), std::string::npos);

    const std::string dir = testing::TempDir() + "dexlin_query_locale_" + std::to_string(getpid());
    const std::string make = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(("mkdir -p '" + dir + "'").c_str()) != 0 || std::system(make.c_str()) != 0)
        GTEST_SKIP() << "cannot generate the de_DE.UTF-8 locale";
    setenv("LOCPATH", dir.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr || std::string(localeconv()->decimal_point) != ",") {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "the generated locale has no decimal comma";
    }
    const Result commaText = RunInProcess("--model igrf1995 batch", requests);
    const Result commaJson = RunInProcess("--model igrf1995 --json batch", requests);
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    EXPECT_EQ(commaText.out, text.out);
    EXPECT_EQ(commaJson.out, json.out);
}

}  // namespace
