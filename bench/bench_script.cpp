// The script engine against Lua 5.4 on three programs: an integer loop of 10 million
// additions, a 100,000-item string built by concatenation and a recursive Fibonacci(25).
// Compiling is measured too: an empty program, a small program and an expression evaluated
// the way a report evaluates one (each a fresh compile).
// Lua runs as the system's lua5.4 interpreter when it is installed; its time is reported as
// the counter "lua_s" beside ours, and "ratio" is our time divided by Lua's. Both are the best
// of their runs, so that a busy machine disturbs the comparison as little as possible.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "script/Builtins.h"
#include "script/Interpreter.h"

namespace {

struct Program {
    const char* Pascal;
    const char* Lua;
};

const Program kLoop = {
    "var i, s: Integer; begin s := 0; for i := 1 to 10000000 do s := s + 1; end.",
    "local s = 0 for i = 1, 10000000 do s = s + 1 end",
};
const Program kConcat = {
    "var i: Integer; s: String; begin s := ''; for i := 1 to 100000 do s := s + 'x'; end.",
    "local t = '' for i = 1, 100000 do t = t .. 'x' end",
};
const Program kFib = {
    "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) end; "
    "var r: Integer; begin r := Fib(25) end.",
    "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end local r = fib(25)",
};

// Seconds Lua takes for the program (best of three), or 0 when lua5.4 is not installed.
double LuaSeconds(const char* program) {
    if (std::system("command -v lua5.4 > /dev/null 2>&1") != 0) return 0;
    const std::string file = "/tmp/karomil_bench.lua";
    std::ofstream(file) << "local t0 = os.clock() " << program << " io.write(os.clock() - t0)";
    double best = 0;
    for (int k = 0; k < 3; ++k) {
        FILE* p = popen(("lua5.4 " + file).c_str(), "r");
        if (!p) return 0;
        double t = 0;
        if (std::fscanf(p, "%lf", &t) != 1) t = 0;
        pclose(p);
        if (k == 0 || t < best) best = t;
    }
    return best;
}

void Run(benchmark::State& state, const Program& program) {
    script::Startup();
    {
        TfsScript s;
        s.Parent = fsGlobalUnit();
        s.GetLines()->SetText(program.Pascal);
        if (!s.Compile()) {
            state.SkipWithError((s.ErrorMsg + " @ " + s.ErrorPos).c_str());
            script::Shutdown();
            return;
        }
        double best = 0;
        int64_t runs = 0;
        for (auto _ : state) {
            const auto t0 = std::chrono::steady_clock::now();
            s.Execute();
            const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (runs == 0 || t < best) best = t;
            ++runs;
        }
        const double lua = LuaSeconds(program.Lua);
        state.counters["ours_s"] = best;
        state.counters["lua_s"] = lua;
        state.counters["ratio"] = lua > 0 && runs ? best / lua : 0;
    }
    script::Shutdown();
}

void BM_IntegerLoop(benchmark::State& state) { Run(state, kLoop); }
void BM_StringConcat(benchmark::State& state) { Run(state, kConcat); }
void BM_Fibonacci25(benchmark::State& state) { Run(state, kFib); }

// Compiles `text` (PascalScript) again and again in one script under the global unit.
void Compile(benchmark::State& state, const char* text) {
    script::Startup();
    {
        TfsScript s;
        s.Parent = fsGlobalUnit();
        s.GetLines()->SetText(text);
        for (auto _ : state) {
            if (!s.Compile()) {
                state.SkipWithError((s.ErrorMsg + " @ " + s.ErrorPos).c_str());
                break;
            }
            s.Clear();
        }
    }
    script::Shutdown();
}

void BM_CompileEmpty(benchmark::State& state) { Compile(state, "begin end."); }
void BM_CompileFibonacci(benchmark::State& state) { Compile(state, kFib.Pascal); }

void BM_EvaluateExpression(benchmark::State& state) {
    script::Startup();
    {
        TfsScript s;
        s.Parent = fsGlobalUnit();
        s.AddVariable("Total", "Integer", Variant(41));
        for (auto _ : state) benchmark::DoNotOptimize(s.Evaluate("Total + 1"));
    }
    script::Shutdown();
}

BENCHMARK(BM_CompileEmpty)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileFibonacci)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateExpression)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IntegerLoop)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StringConcat)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Fibonacci25)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
