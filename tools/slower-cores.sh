#!/usr/bin/env bash
# Runs a command as on a machine whose cores are FACTOR times slower: on each
# core a real-time thread spins for the rest of every 2 ms, leaving the
# command 1 / FACTOR of each core. The spinners keep to one clock, so the
# cores are free at the same time and the command's threads run side by side
# as they would on slower cores; spinners that drifted apart would leave them
# taking turns. Computing, painting, memory waits and page faults all slow
# down alike, on every thread, so the figures say how the program might fare
# on a slower machine of the same shape, not exactly.
#   tools/slower-cores.sh FACTOR COMMAND [ARGUMENTS...]
#   e.g. tools/slower-cores.sh 4.5 build/bench/bench_plots 5
# Needs root (or CAP_SYS_NICE) for the real-time threads. The system keeps
# 5% of each second for others (kernel.sched_rt_runtime_us), so a shell
# stays usable. Before the command it prints the slowdown it measured.
set -euo pipefail

if [[ $# -lt 2 ]] || ! awk -v f="$1" 'BEGIN { exit !(f >= 1 && f <= 20) }'; then
    echo "usage: $0 FACTOR COMMAND [ARGUMENTS...]   (FACTOR from 1 to 20)" >&2
    exit 2
fi
factor=$1
shift

work=$(mktemp -d)
hog=
cleanup() {
    if [[ -n "$hog" ]]; then
        kill "$hog" 2>/dev/null || true
        wait "$hog" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/hog.c" <<'EOF'
#define _GNU_SOURCE
#include <pthread.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static long busy, period; /* nanoseconds */

static long now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000L + t.tv_nsec;
}

static void *spin(void *core)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET((int)(long)core, &set);
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
    /* Every spinner starts its periods at whole multiples of the period and
       keeps to them, however late it wakes: each spins from the start of a
       period, and all cores are free together at its end. */
    for (long next = (now() / period + 1) * period;;) {
        struct timespec t = {next / 1000000000L, next % 1000000000L};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, NULL);
        while (now() - next < busy) {
        }
        next += period;
        if (next < now())
            next = (now() / period + 1) * period;
    }
    return NULL;
}

/* hog BUSY_US PERIOD_US: one spinning thread per core, then waits */
int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    busy = atol(argv[1]) * 1000;
    period = atol(argv[2]) * 1000;
    struct sched_param param = {.sched_priority = 1};
    if (sched_setscheduler(0, SCHED_FIFO, &param) != 0) {
        perror("hog: real-time priority (root or CAP_SYS_NICE needed)");
        return 1;
    }
    for (long core = 0; core < sysconf(_SC_NPROCESSORS_ONLN); ++core) {
        pthread_t thread;
        pthread_create(&thread, NULL, spin, (void *)core);
    }
    pause();
    return 0;
}
EOF
cat >"$work/loop.c" <<'EOF'
#include <stdio.h>
#include <time.h>
int main(void)
{
    struct timespec a, b;
    clock_gettime(CLOCK_MONOTONIC, &a);
    volatile double x = 0;
    for (long i = 0; i < 100000000; ++i)
        x += i * 0.5;
    clock_gettime(CLOCK_MONOTONIC, &b);
    printf("%.0f\n", (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6);
    return 0;
}
EOF
cc -O2 -pthread -o "$work/hog" "$work/hog.c"
cc -O1 -o "$work/loop" "$work/loop.c"

# The share left over, a little more than 1 / FACTOR: switching to and from
# the spinning threads costs the command some of it (measured below).
period=2000
busy=$(awk -v f="$factor" -v p="$period" 'BEGIN { printf "%d", p * (1 - 1.02 / f) }')
plain=$("$work/loop")
"$work/hog" "$busy" "$period" &
hog=$!
sleep 0.3
kill -0 "$hog" 2>/dev/null || exit 1
slowed=$("$work/loop")
awk -v a="$plain" -v b="$slowed" \
    'BEGIN { printf "slower-cores: a loop took %d ms, now %d ms: %.1f times slower\n", a, b, b / a }' >&2
status=0
"$@" || status=$?
exit "$status"
