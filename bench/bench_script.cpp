// The script engine against Lua 5.4 on the workloads a report's scripts are made of: a
// recursive Fibonacci(25), a 3,000,000-step integer loop whose body is an operator chain, a
// 100,000-item string built by appending, and 300,000 calls of built-in functions; the old
// 10-million-step counter loop is kept. Compiling is measured too: an empty program, a small
// program and an expression evaluated the way a report evaluates one (each a fresh compile).
//
// Each iteration is one round: our run, then the same program in the system's lua5.4 (when
// it is installed), both timed as CPU time of their process, so that a busy machine disturbs
// the comparison as little as possible. The counters give the minimum and the median of the
// rounds for both and their ratios (ours / Lua's). Run with --benchmark_filter=Lua.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "script/Builtins.h"
#include "script/Interpreter.h"

namespace {

struct Program {
    const char* Pascal;
    const char* Lua;
};

const Program kCounter = {
    "var i, s: Integer; begin s := 0; for i := 1 to 10000000 do s := s + 1; end.",
    "local s = 0 for i = 1, 10000000 do s = s + 1 end",
};
const Program kIntegerLoop = {
    "var i, s: Integer; begin s := 0; for i := 1 to 3000000 do s := (s + i * 3 + 1) mod 1000; end.",
    "local s = 0 for i = 1, 3000000 do s = (s + i * 3 + 1) % 1000 end",
};
const Program kAppend = {
    "var i: Integer; s: String; begin s := ''; for i := 1 to 100000 do s := s + 'x'; end.",
    "local t = '' for i = 1, 100000 do t = t .. 'x' end",
};
const Program kFib = {
    "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) end; "
    "var r: Integer; begin r := Fib(25) end.",
    "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end local r = fib(25)",
};
// Two built-in calls per step.
const Program kBuiltins = {
    "var i, n: Integer; begin n := 0; for i := 1 to 150000 do n := n + Length(IntToStr(i)); end.",
    "local n = 0 local len, str = string.len, tostring for i = 1, 150000 do n = n + len(str(i)) end",
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

bool HaveLua() {
    static const bool have = std::system("command -v lua5.4 > /dev/null 2>&1") == 0;
    return have;
}

// CPU seconds Lua takes for the program (os.clock inside the interpreter), or 0 without lua5.4.
double LuaSeconds(const char* program) {
    if (!HaveLua()) return 0;
    const std::string file = "/tmp/karomil_bench_script.lua";
    std::ofstream(file) << "local t0 = os.clock() " << program << " io.write(os.clock() - t0)";
    FILE* p = popen(("lua5.4 " + file).c_str(), "r");
    if (!p) return 0;
    double t = 0;
    if (std::fscanf(p, "%lf", &t) != 1) t = 0;
    pclose(p);
    return t;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double Min(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

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
        std::vector<double> ours, lua;
        for (auto _ : state) {
            const double t0 = CpuSeconds();
            s.Execute();
            ours.push_back(CpuSeconds() - t0);
            state.PauseTiming();
            if (const double l = LuaSeconds(program.Lua); l > 0) lua.push_back(l);
            state.ResumeTiming();
        }
        state.counters["ours_min_ms"] = Min(ours) * 1e3;
        state.counters["ours_med_ms"] = Median(ours) * 1e3;
        state.counters["lua_min_ms"] = Min(lua) * 1e3;
        state.counters["lua_med_ms"] = Median(lua) * 1e3;
        state.counters["ratio_min"] = lua.empty() ? 0 : Min(ours) / Min(lua);
        state.counters["ratio_med"] = lua.empty() ? 0 : Median(ours) / Median(lua);
    }
    script::Shutdown();
}

void BM_LuaFibonacci25(benchmark::State& state) { Run(state, kFib); }
void BM_LuaIntegerLoop(benchmark::State& state) { Run(state, kIntegerLoop); }
void BM_LuaStringAppend(benchmark::State& state) { Run(state, kAppend); }
void BM_LuaBuiltinCalls(benchmark::State& state) { Run(state, kBuiltins); }
void BM_LuaCounterLoop(benchmark::State& state) { Run(state, kCounter); }

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
BENCHMARK(BM_LuaFibonacci25)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LuaIntegerLoop)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LuaStringAppend)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LuaBuiltinCalls)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LuaCounterLoop)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
