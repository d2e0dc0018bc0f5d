#include "tools/aic31-sim/Aic31Sim.h"

#include "kernel/harness/ti_calls.h"
#include "kernel/sim/sim.h"
#include "tools/aic31-sim/CallParser.h"

#include <cerrno>
#include <cstring>

namespace aic31 {
namespace {

const char kUsage[] =
    "usage: aic31-sim [--trace] [--no-codec] [--no-byte-data] 'name(arg,...)' ...\n";

std::string formatResult(const ti_result& r)
{
    if (r.is_void)
        return "void";
    // as C prints the value: a status read's failure is the error number as unsigned
    if (r.is_unsigned)
        return std::to_string(static_cast<unsigned long long>(r.value) & 0xFFFFFFFFull);
    return std::to_string(r.value);
}

struct Loaded {
    ~Loaded() { sim_halt(); }
};

}  // namespace

int runAic31Sim(const std::vector<std::string>& args, SimOptions options,
                std::ostream& out, std::ostream& err)
{
    std::vector<ParsedCall> calls;
    for (const std::string& a : args) {
        if (a == "--trace") {
            options.trace = true;
        } else if (a == "--no-codec") {
            options.noCodec = true;
        } else if (a == "--no-byte-data") {
            options.noByteData = true;
        } else if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        } else if (a.compare(0, 1, "-") == 0 && a.find('(') == std::string::npos) {
            err << "aic31-sim: unknown option '" << a << "'\n" << kUsage;
            return 2;
        } else {
            ParsedCall call;
            std::string why;
            if (!parseCall(a, call, why)) {
                err << "aic31-sim: " << a << ": " << why << "\n";
                return 2;
            }
            const ti_call* fn = ti_call_find(call.name.c_str());
            if (!fn) {
                err << "aic31-sim: " << call.name << ": not an export of the codec module\n";
                return 2;
            }
            if (static_cast<size_t>(fn->arity) != call.args.size()) {
                err << "aic31-sim: " << call.name << " takes " << fn->arity << " argument"
                    << (fn->arity == 1 ? "" : "s") << ", got " << call.args.size() << "\n";
                return 2;
            }
            calls.push_back(call);
        }
    }

    sim_board board = {options.noCodec ? 0 : 1, options.noByteData ? 0 : 1};
    sim_boot(&board);
    Loaded loaded;
    sim_set_echo((options.echoKernel ? SIM_ECHO_KLOG : 0) | (options.trace ? SIM_ECHO_TRACE : 0));
    const std::string path = options.modulePath.empty() ? aic31_module_path() : options.modulePath;
    int rc = sim_load_module(path.c_str(), nullptr);
    if (rc != 0) {
        err << "aic31-sim: loading " << path << " failed: " << std::strerror(-rc) << "\n";
        return 1;
    }

    for (const ParsedCall& call : calls) {
        void (*sym)(void) = sim_symbol(call.name.c_str());
        if (!sym) {
            err << "aic31-sim: the module does not export " << call.name << "\n";
            return 1;
        }
        long long argv[TI_CALL_MAX_ARGS] = {};
        for (size_t i = 0; i < call.args.size(); ++i)
            argv[i] = call.args[i];
        ti_result r = ti_call_find(call.name.c_str())->invoke(sym, argv);
        out << call.echo() << " = " << formatResult(r) << "\n" << std::flush;
    }

    const char* text = nullptr;
    long len = sim_proc_read("ti_tlv320", &text);
    if (len < 0) {
        err << "aic31-sim: reading /proc/ti_tlv320 failed: " << std::strerror(static_cast<int>(-len)) << "\n";
        return 1;
    }
    out.write(text, len);
    out << std::flush;
    sim_set_echo(options.echoKernel ? SIM_ECHO_KLOG : 0);
    sim_unload_module();
    return 0;
}

}  // namespace aic31
