#!/usr/bin/env python3
"""The networks of bench/nrv_dense.cpp and bench/nrv_conv.cpp in PyTorch,
for side-by-side ratios measured in one run.

- dense: a 784-128-10 network (relu, softmax with cross-entropy, Adam at
  0.001), 60,000 synthetic samples, one epoch in shuffled batches of 32,
  followed by one evaluation pass over the samples as nrvcore's train() does.
- conv: 1x28x28 input, 16 3x3 filters (padding 1), 32 3x3 filters at stride
  2 (padding 1), 10 softmax outputs, relu, Adam; one epoch of 6,000 samples
  in batches of 32 with its evaluation pass, then inference over the same
  samples in batches of 256.

Everything runs on one thread: OPENBLAS_NUM_THREADS and OMP_NUM_THREADS are
set before torch is imported (torch.set_num_threads alone leaves OpenBLAS's
own pool running), and times are processor seconds, best of the repeats.
Skips cleanly when python3-torch is not installed (Debian's python3-torch
serves /usr/bin/python3).

    python3 bench/nrv_torch.py [build/bin] [repeats]

Given the folder of the nrvcore benchmarks, it runs them too and prints the
ratios (nrvcore time / PyTorch time: below 1 is faster).
"""
import os

os.environ["OPENBLAS_NUM_THREADS"] = "1"
os.environ["OMP_NUM_THREADS"] = "1"
os.environ["MKL_NUM_THREADS"] = "1"

import re  # noqa: E402
import subprocess  # noqa: E402
import sys  # noqa: E402
import time  # noqa: E402

INPUTS, CLASSES, BATCH = 784, 10, 32


def best(repeats, run):
    return min(run() for _ in range(repeats))


def labelled_inputs(torch, samples):
    inputs = torch.rand(samples, INPUTS)
    labels = (inputs[:, 0] * CLASSES).long() % CLASSES
    return inputs, labels


def epoch(torch, model, inputs, labels, reshape):
    """One shuffled epoch with Adam, then the evaluation pass; processor seconds."""
    optimizer = torch.optim.Adam(model.parameters(), lr=0.001)
    loss_fn = torch.nn.CrossEntropyLoss()
    samples = inputs.shape[0]
    start = time.process_time()
    order = torch.randperm(samples)
    for first in range(0, samples, BATCH):
        index = order[first:first + BATCH]
        optimizer.zero_grad()
        loss = loss_fn(model(reshape(inputs[index])), labels[index])
        loss.backward()
        optimizer.step()
    with torch.no_grad():
        for first in range(0, samples, 256):
            loss_fn(model(reshape(inputs[first:first + 256])), labels[first:first + 256])
    return time.process_time() - start


def dense_seconds(torch, repeats):
    inputs, labels = labelled_inputs(torch, 60000)

    def run():
        model = torch.nn.Sequential(
            torch.nn.Linear(INPUTS, 128), torch.nn.ReLU(), torch.nn.Linear(128, CLASSES))
        return epoch(torch, model, inputs, labels, lambda x: x)

    return best(repeats, run)


def conv_model(torch):
    return torch.nn.Sequential(
        torch.nn.Conv2d(1, 16, 3, stride=1, padding=1), torch.nn.ReLU(),
        torch.nn.Conv2d(16, 32, 3, stride=2, padding=1), torch.nn.ReLU(),
        torch.nn.Flatten(), torch.nn.Linear(32 * 14 * 14, CLASSES))


def conv_seconds(torch, repeats):
    inputs, labels = labelled_inputs(torch, 6000)

    def image(x):
        return x.view(-1, 1, 28, 28)

    train = best(repeats, lambda: epoch(torch, conv_model(torch), inputs, labels, image))

    def infer():
        model = conv_model(torch)
        start = time.process_time()
        with torch.no_grad():
            for first in range(0, inputs.shape[0] - 255, 256):
                torch.softmax(model(image(inputs[first:first + 256])), dim=1)
        return time.process_time() - start

    return train, best(repeats, infer)


def figure(output, label):
    match = re.search(re.escape(label) + r"[^:]*: ([0-9.]+) s", output)
    return float(match.group(1)) if match else None


def main():
    try:
        import torch
    except ImportError:
        print("skipped: python3-torch is not installed")
        return 0
    torch.set_num_threads(1)
    torch.manual_seed(1)
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    dense = dense_seconds(torch, repeats)
    conv_train, conv_infer = conv_seconds(torch, repeats)
    print(f"pytorch {torch.__version__}, 1 thread, processor time, best of {repeats}")
    print(f"dense training time per epoch: {dense:.3f} s")
    print(f"conv training time per epoch: {conv_train:.3f} s")
    print(f"conv inference time: {conv_infer:.3f} s")
    if len(sys.argv) > 1:
        folder = sys.argv[1]
        ours = {}
        for program in ("nrv_dense", "nrv_conv"):
            ours[program] = subprocess.run([os.path.join(folder, program), str(repeats)],
                                           capture_output=True, text=True, check=True).stdout
        rows = [("dense training", figure(ours["nrv_dense"], "time per epoch"), dense),
                ("conv training", figure(ours["nrv_conv"], "conv training time"), conv_train),
                ("conv inference", figure(ours["nrv_conv"], "conv inference time"), conv_infer)]
        for name, nrv, pytorch in rows:
            if nrv is not None:
                print(f"{name}: nrvcore {nrv:.3f} s, pytorch {pytorch:.3f} s, "
                      f"nrvcore / pytorch {nrv / pytorch:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
