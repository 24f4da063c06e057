-- Classifies the 8x8 hand-written digits of the scikit-learn digits set:
-- a 3x3 convolution of 8 filters over the image, a hidden dense layer and
-- a softmax over the ten digits, trained with Adam on cross-entropy. The
-- build turns examples/lua/data/digits.csv.gz into IDX files (three quarters
-- for training, every fourth image held out for the test).
--   LUA_CPATH=build/bin/?.so luajit examples/lua/digits.lua [IDX_FOLDER]
local nrv = require "nrvlua"
local folder = (arg and arg[1] or "build/bin/data") .. "/"

local started = nrv.milliseconds()
local net = nrv.create("digits", nrv.CRITERION_CCE, nrv.VALIDATION_ARGMAX, nrv.OPTIMIZER_ADAM, false, 0.002)
nrv.add_layer(net, 64, nrv.ACTIVATION_NONE, 0, "image")
-- 1 channel of 8x8 in, 8 filters of 3x3, stride 1, padding 1: 8 maps of 8x8.
nrv.add_layer_conv(net, 1, 8, 8, 8, 3, nrv.ACTIVATION_RELU, 0, "conv", 1, 1)
nrv.add_layer(net, 64, nrv.ACTIVATION_RELU, 0, "hidden")
nrv.add_layer(net, 10, nrv.ACTIVATION_SOFTMAX, 0, "digit")
nrv.compile(net)
nrv.summary(net)

-- 10% of the training images check each epoch; the test quarter stays unseen.
nrv.init_train(net, 0, 64, 10, 10)
local trainCount = nrv.mnist_load_train(net, folder .. "digits-train-images.idx", folder .. "digits-train-labels.idx")
local testCount = nrv.mnist_load_test(net, folder .. "digits-test-images.idx", folder .. "digits-test-labels.idx")
print(string.format("%d training images, %d test images", trainCount, testCount))

-- 30 epochs of batches of 16, shuffled by seed 1, at the network's rate,
-- all of them run (patience 0: no early stop).
nrv.train(net, 30, 16, 1, 0, 0)
local best = nrv.get_best_epoch(net)
print(string.format("best epoch %d: validation cost %.4f, validation accuracy %.1f%%", best,
  nrv.get_cost_validation(net, best), 100 * nrv.get_accuracy(net, best)))

local right = 0
for i = 1, testCount do
  if nrv.predict(net, i) == nrv.argmax(nrv.get_test_target(net, i)) then right = right + 1 end
end
print(string.format("accuracy: %.1f%%", 100 * right / testCount))
nrv.print_duration("trained and tested in", nrv.milliseconds() - started, "m")
nrv.destroy(net)
if right < 0.95 * testCount then os.exit(1) end
