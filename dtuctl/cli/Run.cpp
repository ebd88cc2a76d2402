#include "dtuctl/cli/Run.h"

#include "core/net/PortUrl.h"
#include "core/records/Record.h"
#include "driver/host/ProfileFile.h"
#include "driver/records/Store.h"
#include "driver/serial/PortList.h"
#include "dtuctl/cli/Commands.h"
#include "dtuctl/cli/Interrupt.h"
#include "dtuctl/cli/Records.h"
#include "dtuctl/cli/Serve.h"
#include "dtuctl/cli/Test.h"
#include "jobs/port/Upgrade.h"
#include "jobs/records/Recorder.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <glob.h>
#include <map>

#ifndef DTU_VERSION
#define DTU_VERSION "0"
#endif

namespace cli {

using jobs::Image;
using jobs::LoadImage;
using jobs::UpgradeProgress;
using jobs::UpgradeResult;

using namespace profile;

void StopMonitor()
{
    Interrupt();
}

Expanded ExpandPorts(const std::vector<std::string>& patterns)
{
    Expanded out;
    const auto add = [&](const std::string& path) {
        if (std::find(out.ports.begin(), out.ports.end(), path) == out.ports.end())
            out.ports.push_back(path);
    };
    for (const std::string& pattern : patterns) {
        // A URL is never a glob, though an IPv6 host holds brackets.
        if (net::LooksLikeUrl(pattern) || pattern.find_first_of("*?[") == std::string::npos) {
            add(pattern);
            continue;
        }
        glob_t found{};
        const int rc = ::glob(pattern.c_str(), 0, nullptr, &found);
        std::vector<std::string> paths;
        for (std::size_t i = 0; rc == 0 && i < found.gl_pathc; ++i)
            paths.emplace_back(found.gl_pathv[i]);
        ::globfree(&found);
        if (paths.empty()) {
            out.unmatched = pattern;
            return out;
        }
        std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) { return serial::NaturalLess(a, b); });
        for (const std::string& path : paths)
            add(path);
    }
    return out;
}

int Run(const std::vector<std::string>& args, Console console)
{
    CLI::App app{"Configures, checks and upgrades DTUs on one serial port or many at once.", "dtuctl"};
    app.set_version_flag("--version", std::string("dtuctl ") + DTU_VERSION);
    app.require_subcommand(1);
    app.fallthrough();

    std::vector<std::string> portPatterns;
    Line line;
    bool json = false;
    app.add_option("-p,--port", portPatterns, "Serial device, a glob such as '/dev/ttyUSB*', or a network port rfc2217://HOST:PORT or socket://HOST:PORT; may be given many times")
        ->type_name("PORT");
    app.add_option("-b,--baud", line.baud, "Baud rate of the PC side, as on the settings page: 1200 ... 115200")
        ->check(CLI::IsMember({1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}).description(""))
        ->type_name("BAUD")
        ->capture_default_str();
    std::string parity = "none";
    app.add_option("--parity", parity, "Parity: none, odd or even (NO, ODD, EVEN as on the settings page)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, std::string>{{"none", "none"}, {"no", "none"},
                                                                               {"odd", "odd"}, {"even", "even"}},
                                            CLI::ignore_case)
                        .description(""))
        ->type_name("PARITY")
        ->capture_default_str();
    app.add_option("--timeout", line.timeoutMs, "Milliseconds to wait for each answer, 500 to 600000")
        ->check(CLI::Range(500, 600000).description(""))
        ->type_name("MS")
        ->capture_default_str();
    app.add_option("--connect-timeout", line.connectTimeoutMs,
                   "Milliseconds a network port may take to connect and set its line, 100 to 60000")
        ->check(CLI::Range(100, 60000).description(""))
        ->type_name("MS")
        ->capture_default_str();
    app.add_flag("--json", json, "One JSON line per port, or per record");
    app.add_flag("--fast", line.fast, "Complete each answer as soon as it is a whole frame, not after the silence");
    std::string operatorName;
    app.add_option("--operator", operatorName,
                   "Who does the work, as the records name them (default: $DTUTOOL_OPERATOR, else the login name)")
        ->type_name("NAME");
    std::string recordsPlace;
    app.add_option("--records", recordsPlace,
                   "Where the records of the jobs are kept: an SQLite file, off, or a postgresql:// URL "
                   "(default: $DTUTOOL_RECORDS, else ~/.local/share/dtutool/records.sqlite)")
        ->type_name("PLACE");

    CLI::App* ports = app.add_subcommand("ports", "List the serial devices, each with the program that holds it");
    CLI::App* doctor = app.add_subcommand(
        "doctor", "Explain why a port is missing or cannot be opened, with the command that fixes it");

    CLI::App* read = app.add_subcommand("read", "Print every setting the DTU reports");
    bool asProfile = false;
    read->add_flag("--profile", asProfile, "Print a profile that `write` accepts unchanged");

    CLI::App* write = app.add_subcommand("write", "Write a profile, read every setting back and compare");
    std::string profilePath;
    bool checkOnly = false;
    write->add_option("PROFILE", profilePath, "TOML profile")->required();
    write->add_flag("--check", checkOnly, "Validate the profile only; no port is used");
    bool sameOwnId = false;
    write->add_flag("--same-own-id", sameOwnId,
                    "Write the profile's own ID to every port given, though it gives them all the same one");

    CLI::App* upgradeCmd = app.add_subcommand("upgrade", "Send a firmware image; the exit code is the verdict");
    std::string appImage, iapImage;
    auto* appOption = upgradeCmd->add_option("--app", appImage, "Application image");
    auto* iapOption = upgradeCmd->add_option("--iap", iapImage, "Boot-loader (IAP) image");
    appOption->excludes(iapOption);

    CLI::App* send = app.add_subcommand("send", "Send one request frame and print the decoded answer");
    std::string codeText;
    std::vector<std::string> payloadParts;
    send->add_option("CODE", codeText, "Command code in hex, e.g. E9")->required();
    send->add_option("PAYLOAD-HEX", payloadParts,
                     "Payload as hex digits, in one word or many (05 01 02); default: the request's zero payload");

    CLI::App* monitor = app.add_subcommand("monitor", "Print every frame on the line, decoded, until Ctrl-C");

    CLI::App* testCmd = app.add_subcommand(
        "test", "Prove every unit by a test plan: version, signal, registration, heartbeat and data both ways "
                "through the test server, own IDs, the final profile; exit 0 when all pass");
    TestOptions testOptions;
    testCmd->add_option("--plan", testOptions.plan, "TOML test plan")->required()->type_name("PLAN");
    testCmd->add_option("--label", testOptions.labels,
                        "A unit's printed label, for the records; one per port, in the order of the ports")
        ->type_name("LABEL");
    testCmd->add_option("--junit", testOptions.junit, "Also write the run as JUnit XML to FILE")->type_name("FILE");

    CLI::App* recordsCmd = app.add_subcommand("records", "List the records of the jobs, newest first");
    RecordsOptions recordsOptions;
    recordsCmd->add_option("--unit", recordsOptions.unit, "Only this unit (its own ID, hex)")->type_name("ID");
    recordsCmd->add_option("--port", recordsOptions.port, "Only this port, as given or by its /dev/serial/by-id/ name")
        ->type_name("PORT");
    recordsCmd->add_option("--label", recordsOptions.label, "Only the unit with this printed label (serial number), exactly")
        ->type_name("TEXT");
    recordsCmd->add_option("--result", recordsOptions.result,
                           "Only this result: ok, failed, error, stopped or interrupted")
        ->check(CLI::IsMember(std::vector<std::string>(records::kResults.begin(), records::kResults.end()))
                    .description(""))
        ->type_name("RESULT");
    recordsCmd
        ->add_option("--since", recordsOptions.since,
                     "Only those started then or later (ISO 8601, UTC unless a zone is given)")
        ->type_name("TIME");
    recordsCmd
        ->add_option("--until", recordsOptions.until,
                     "Only those started then or earlier; a day, minute or second counts whole")
        ->type_name("TIME");
    recordsCmd->add_option("--limit", recordsOptions.limit, "At most N, the newest")
        ->check(CLI::PositiveNumber.description(""))
        ->type_name("N");
    recordsCmd->add_flag("--csv", recordsOptions.csv, "CSV, a header of the column names first");
    auto* summaryFlag = recordsCmd->add_flag(
        "--summary", recordsOptions.summary,
        "The yield of the tests selected: units passed and failed by their latest test, tests by period, the "
        "measurements that failed most");
    recordsCmd->add_option("--by", recordsOptions.by, "The summary's periods: day or hour (UTC; default day)")
        ->check(CLI::IsMember({"day", "hour"}).description(""))
        ->needs(summaryFlag)
        ->type_name("PERIOD");

    CLI::App* serve = app.add_subcommand(
        "serve", "Be the server a DTU connects to: print each connection, registration, heartbeat and packet; "
                 "send each input line to every connected DTU; Ctrl-C ends it");
    ServeOptions serveOptions;
    serve->add_option("--listen", serveOptions.listen, "[HOST:]PORT to listen on; HOST is a numeric address (default 0.0.0.0), port 0 takes a free one")
        ->required()
        ->type_name("[HOST:]PORT");
    auto* registrationText = serve->add_option("--registration", serveOptions.registration,
                                               "The registration packet the DTU should send first, as text")
                                 ->type_name("TEXT");
    serve->add_option("--registration-hex", serveOptions.registrationHex, "The same as hex digits, e.g. \"44 54 55\"")
        ->type_name("HEX")
        ->excludes(registrationText);
    auto* heartbeatText =
        serve->add_option("--heartbeat", serveOptions.heartbeat, "The heartbeat packet, as text")->type_name("TEXT");
    serve->add_option("--heartbeat-hex", serveOptions.heartbeatHex, "The same as hex digits")
        ->type_name("HEX")
        ->excludes(heartbeatText);
    serve->add_flag("--hex", serveOptions.hexInput, "Input lines are hex digits, not text");
    serve->add_flag("--utf8", serveOptions.utf8, "Text is UTF-8 (default: GBK, as the DTU page writes it)");
    serve->add_option("--gap", serveOptions.gapMs, "Milliseconds of quiet that end a packet, 1 to 5000")
        ->check(CLI::Range(1, 5000).description(""))
        ->type_name("MS")
        ->capture_default_str();

    std::vector<std::string> argv{"dtuctl"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<const char*> raw;
    for (const std::string& a : argv)
        raw.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(raw.size()), raw.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, console.out, console.err);
        return code == 0 ? kExitOk : kExitBadInput;
    }

    const auto bad = [&](const std::string& message) {
        console.err << "dtuctl: " << message << "\n";
        return kExitBadInput;
    };
    line.parity = ParityCode(parity);

    if (ports->parsed())
        return ListPorts(json, console);
    if (recordsCmd->parsed()) {
        if (!portPatterns.empty())
            return bad("records filters by --port PORT after the command; -p names ports to work on");
        recordsOptions.json = json;
        return ListRecords(recordsPlace, recordsOptions, console);
    }
    if (serve->parsed()) {
        serveOptions.json = json;
        return Serve(serveOptions, console);
    }

    // Everything that can be refused is refused before a port is opened.
    std::optional<Profile> profile;
    if (write->parsed()) {
        const ParsedProfile parsed = LoadProfile(profilePath);
        for (const std::string& error : parsed.errors)
            console.err << error << "\n";
        if (!parsed.ok())
            return bad(profilePath + ": not written, nothing was sent");
        if (checkOnly) {
            console.out << profilePath << ": ok\n";
            return kExitOk;
        }
        profile = parsed.profile;
    }
    std::optional<jobs::TestRun> testRun;
    if (testCmd->parsed()) {
        std::vector<std::string> errors;
        testRun = jobs::LoadTestRun(testOptions.plan, errors);
        for (const std::string& error : errors)
            console.err << error << "\n";
        if (!testRun)
            return bad(testOptions.plan + ": not run, nothing was sent");
        const std::filesystem::path junit(testOptions.junit);
        std::error_code ec;
        if (!testOptions.junit.empty() &&
            !std::filesystem::is_directory(junit.has_parent_path() ? junit.parent_path() : ".", ec))
            return bad(testOptions.junit + ": no such folder for the JUnit file; nothing was sent");
    }
    std::optional<Image> image;
    if (upgradeCmd->parsed()) {
        if (appImage.empty() && iapImage.empty())
            return bad("upgrade needs --app IMAGE or --iap IMAGE");
        std::string error;
        image = LoadImage(appImage.empty() ? iapImage : appImage, appImage.empty() ? upgrade::Kind::Iap : upgrade::Kind::App,
                          error);
        if (!image)
            return bad(error);
    }
    dtu::Bytes request;
    if (send->parsed()) {
        std::string error;
        const auto built = SendRequest(codeText, payloadParts, error);
        if (!built)
            return bad(error);
        request = *built;
    }

    const Expanded expanded = ExpandPorts(portPatterns);
    if (!expanded.unmatched.empty())
        return bad("no device matches " + expanded.unmatched);
    if (doctor->parsed())
        return Doctor(expanded.ports, json, console);
    if (expanded.ports.empty())
        return bad("no port given: use -p PORT (see dtuctl ports)");
    // Units told apart by their own ID must not all be given one.
    if (const std::string* ownId = profile ? OwnIdSet(*profile) : nullptr;
        ownId && expanded.ports.size() > 1 && !sameOwnId)
        return bad(profilePath + ": own_id.id gives all " + std::to_string(expanded.ports.size()) +
                   " ports one own ID, " + *ownId + "; nothing was sent (write it to one port at a time, or give "
                   "--same-own-id)");

    // A job that cannot be recorded does not start: the store is opened,
    // and the files named, before any port.
    jobs::Recorder recorder;
    if (read->parsed() || write->parsed() || upgradeCmd->parsed() || testCmd->parsed()) {
        std::string error;
        std::shared_ptr<records::Store> store = records::OpenStore(records::ChosenPlace(recordsPlace), error);
        if (!error.empty())
            return bad(error + "; nothing was sent");
        if (store) {
            const std::string profileUsed = write->parsed() ? profilePath
                                            : testRun && testRun->finalProfile
                                                ? (std::filesystem::path(testOptions.plan).parent_path() /
                                                   testRun->plan.finalProfile)
                                                      .string()
                                                : "";
            const Image* imageUsed = image ? &*image : testRun && testRun->image ? &*testRun->image : nullptr;
            const std::optional<records::Record> basis = jobs::RunBasis(std::string("dtuctl ").append(DTU_VERSION),
                                                                        profileUsed, imageUsed, error);
            if (!basis)
                return bad(error + "; nothing was sent");
            records::Record named = *basis;
            if (!operatorName.empty())
                named.operatorName = operatorName;
            recorder = jobs::Recorder(std::move(store), std::move(named));
        }
    }
    if (testCmd->parsed()) {
        if (testRun->plan.ownIds && !recorder.On())
            return bad(testOptions.plan + ": [own_id] hands out IDs through the records store, and records are off; "
                                          "nothing was sent");
        if (testOptions.labels.size() > expanded.ports.size())
            return bad("test: " + std::to_string(testOptions.labels.size()) + " labels for " +
                       std::to_string(expanded.ports.size()) + " ports; nothing was sent");
        testOptions.json = json;
        return RunTests(expanded.ports, line, testOptions, std::move(*testRun), recorder, console);
    }
    if (read->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return ReadJob(c, asProfile); },
                          {&recorder, records::kActionRead});
    if (write->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return WriteJob(c, *profile); },
                          {&recorder, records::kActionWrite});
    if (upgradeCmd->parsed()) {
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) {
            const UpgradeResult u = RunUpgradeOn(c.link, *image, line.baud, line.timeoutMs,
                                                 [&](const UpgradeProgress& p, bool milestone) {
                                                     if (milestone)
                                                         c.board.Step(c.index, FormatProgress(p));
                                                     else
                                                         c.board.Update(c.index, FormatProgress(p));
                                                 });
            PortResult r;
            r.ok = u.ok;
            r.summary = u.message;
            r.text = u.message + "\n";
            r.json["outcome"] = u.message;
            r.json["bytes"] = u.bytesSent;
            r.json["seconds"] = u.seconds;
            return r;
        }, {&recorder, records::kActionUpgrade});
    }
    if (send->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return SendJob(c, request); });
    if (monitor->parsed())
        return Monitor(expanded.ports, line, json, console);
    return bad("no command given");
}

}  // namespace cli
