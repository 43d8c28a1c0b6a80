#!/usr/bin/env bash
# A study split over a Slurm job array, then merged into one table.
#
# On the login node, from the directory holding the deck (and water files):
#
#   examples/slurm_study.sh SHARDS DECK OUTDIR [study options...]
#
# submits the job array (sbatch --array=0-(SHARDS-1), this same script) and a
# merge job that runs only when every array task succeeded (afterok), and
# prints both job ids. For example:
#
#   examples/slurm_study.sh 8 examples/permafrost.deck out --freq 1:1e5:40 --water 0.05,0.1,0.2
#
# Each array task computes the points whose index is SLURM_ARRAY_TASK_ID modulo
# SLURM_ARRAY_TASK_COUNT (--shard ID/COUNT) on the cores Slurm gives it
# (-j SLURM_CPUS_PER_TASK) into OUTDIR/study.shard-ID-of-COUNT.csv. The merge
# job writes OUTDIR/study.csv, the same bytes as the study run in one piece.
#
# Reruns: every task runs with --resume, so an array task killed by its time
# limit or by preemption keeps its finished rows; submit the same command
# again and only the missing points are computed. The study options must be
# the same for every task and every rerun: a shard of another deck or point
# list is refused, by the resume and by the merge (exit status 8).
#
# The program: V2PFL_PROGRAM when set (a path or a command name), else
# v2_patchy_freq_loop on the PATH (e.g. after `cmake --install build`), else
# build/v2_patchy_freq_loop of the repository holding this script. It is
# found on the login node at submission and handed to every job as
# V2PFL_PROGRAM (Slurm runs a copy of the script, away from the repository).
#
# Exit status of a task: 0 when every point of its shard completed, and also
# when the shard is complete but some points stopped (the study's status 7:
# their stop codes are in their rows), so that the merge runs; any other
# status (bad input, a lost write, ...) fails the task and the merge is not run.
#SBATCH --job-name=v2pfl-study
#SBATCH --cpus-per-task=2
#SBATCH --time=02:00:00
#SBATCH --output=slurm-%x-%A_%a.out
set -euo pipefail

# The program to run, as the header says; status 127 with a message when none is found.
find_program() {
  if [ -n "${V2PFL_PROGRAM:-}" ]; then
    echo "$V2PFL_PROGRAM"
  elif command -v v2_patchy_freq_loop > /dev/null; then
    command -v v2_patchy_freq_loop
  elif [ -x "$(dirname "$0")/../build/v2_patchy_freq_loop" ]; then
    echo "$(cd "$(dirname "$0")/.." && pwd)/build/v2_patchy_freq_loop"
  else
    echo "slurm_study.sh: v2_patchy_freq_loop is not on the PATH nor built beside the" \
         "repository; set V2PFL_PROGRAM to its path" >&2
    return 127
  fi
}
program=$(find_program) || exit 127
export V2PFL_PROGRAM=$program

if [ -n "${V2PFL_MERGE:-}" ]; then
  # The merge job: DECK OUTDIR [options] as for the tasks.
  exec "$program" merge "${2:?OUTDIR}"
fi

if [ -z "${SLURM_ARRAY_TASK_ID:-}" ]; then
  # Submission: SHARDS DECK OUTDIR [study options...].
  shards=${1:?usage: slurm_study.sh SHARDS DECK OUTDIR [study options...]}
  shift
  array=$(sbatch --parsable --array="0-$((shards - 1))" "$0" "$@")
  merge=$(sbatch --parsable --dependency="afterok:${array%%;*}" --job-name=v2pfl-merge \
    --export=ALL,V2PFL_MERGE=1 --output=slurm-%x-%j.out "$0" "$@")
  echo "study array job $array, merge job $merge"
  exit 0
fi

# An array task: DECK OUTDIR [study options...].
deck=${1:?DECK} out=${2:?OUTDIR}
shift 2
status=0
"$program" study "$deck" -o "$out" \
  --shard "$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT" --resume \
  -j "${SLURM_CPUS_PER_TASK:-1}" "$@" || status=$?
if [ "$status" -eq 7 ]; then status=0; fi
exit "$status"
