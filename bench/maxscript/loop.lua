-- 1,000,000 integer additions in a loop
local s = 0
for i = 1, 1000000 do s = s + 1 end
print(s)
